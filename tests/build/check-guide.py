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
LITERAL = r'"(?:[^"\\]|\\.)*"'
# The text argument: string literals, or a variable.
CALL = re.compile(r'\bMessageBoxA\s*\(\s*[^,]+,\s*((?:%s\s*)+|\w+)' % LITERAL)
# A box whose text is a variable: the file that writes the texts it can hold
# (its own, or the step table's), and how.
FED = {
    'calibration/startup.cpp': ('calibration/startup.cpp', r'wsprintfA\(text, (%s)' % LITERAL),
    'setup/progressdlg.cpp': ('setup/setupsteps.cpp', r'\{ \w+, (%s)' % LITERAL),
    'setup/restart.cpp': ('setup/restart.cpp', r'#define \w+ +(%s)' % LITERAL),
    'setup/uninstall.cpp': ('setup/uninstall.cpp', r'FormatBounded\(text, sizeof\(text\), (%s)' % LITERAL),
}


def text_of(literals):
    return ''.join(bytes(s[1:-1], 'ascii').decode('unicode_escape') for s in literals)


texts, failures = [], []
for room in ('calibration', 'rightbutton', 'setup', 'common'):
    for name in sorted(n for n in os.listdir(os.path.join(src, room)) if n.endswith('.cpp')):
        path = f'{room}/{name}'
        code = open(os.path.join(src, path)).read()
        calls, variables = CALL.findall(code), []
        if len(calls) != len(re.findall(r'\bMessageBoxA\s*\(', code)):
            failures.append(f'{path}: a message box call this check cannot read')
        for text in calls:
            if text.startswith('"'):
                texts.append((path, text_of(re.findall(LITERAL, text))))
            else:
                variables.append(text)
        if variables and (path not in FED or len(variables) > 1):
            failures.append(f'{path}: a message box shows {variables}; tell this check where its texts are')
        elif variables:
            fed, pattern = FED[path]
            texts += [(path, text_of([s])) for s in re.findall(pattern, open(os.path.join(src, fed)).read())]

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
