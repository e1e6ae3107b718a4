#!/usr/bin/env python3
"""The user guide against the programs:  check-guide.py SOURCE

Every text that a message box of the three programs can show, taken from
their sources now, must stand in the guide's troubleshooting table word for
word (a %d there is any number, a line break is written <br>), and every
picture the guide names must exist."""
import os
import re
import sys

src = sys.argv[1]
guide = open(os.path.join(src, 'docs', 'user-guide.md'), encoding='utf-8').read()
table = guide[guide.index('\n## Troubleshooting'):].split('\n## ')[1]
LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')
# A box whose text is a variable: where that file writes the texts it holds.
FED = {
    'calibration/startup.cpp': r'wsprintfA\(text, ("[^"]*")',
    'setup/progressdlg.cpp': r'\{ \w+, IDC_\w+, ("[^"]*")',
    'setup/restart.cpp': r'#define \w+ +("[^"]*")',
}


def arguments(code, start):
    """The top-level arguments of the call whose '(' is at start."""
    args, depth, quoted, escaped, current = [], 0, False, False, ''
    for c in code[start + 1:]:
        if quoted:
            quoted = escaped or c != '"'
            escaped = not escaped and c == '\\'
        elif c == '"':
            quoted = True
        elif c in '(,)' and depth == 0:
            args.append(current.strip())
            current = ''
            if c == ')':
                return args
            continue
        elif c in '()':
            depth += 1 if c == '(' else -1
        current += c
    raise ValueError('unterminated call')


def text_of(literals):
    return ''.join(bytes(s, 'ascii').decode('unicode_escape') for s in literals)


texts, failures = [], []
for room in ('calibration', 'rightbutton', 'setup', 'common'):
    for name in sorted(os.listdir(os.path.join(src, room))):
        path = f'{room}/{name}'
        if not name.endswith('.cpp'):
            continue
        code = open(os.path.join(src, path)).read()
        fed = 0
        for call in re.finditer(r'\bMessageBoxA\s*\(', code):
            text = arguments(code, call.end() - 1)[1]
            if '"' in text:
                texts.append((path, text_of(LITERAL.findall(text))))
            elif path in FED and not fed:
                fed += 1
                texts += [(path, text_of([s])) for s in LITERAL.findall(' '.join(re.findall(FED[path], code)))]
            else:
                failures.append(f'{path}: a message box shows "{text}"; tell this check where its texts are')

for path, text in texts:
    pattern = ''.join({'%d': r'-?\d+', '\n': '<br>'}.get(part, re.escape(part))
                      for part in re.split(r'(%d|\n)', text))
    found = re.search(pattern, table)
    print(f'{"ok  " if found else "MISSING"} {path}: {text!r}')
    if not found:
        failures.append(f'{path}: {text!r} is not in the troubleshooting table')

for image in re.findall(r'!\[[^\]]*\]\(([^)\s]+)\)', guide):
    if not os.path.isfile(os.path.join(src, 'docs', image)):
        failures.append(f'the guide shows {image}, which does not exist')

print('\n'.join(['FAIL: ' + f for f in failures] or [f'ok: {len(texts)} message texts, all images present']))
sys.exit(1 if failures else 0)
