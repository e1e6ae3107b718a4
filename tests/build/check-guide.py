#!/usr/bin/env python3
"""The user guide against the programs:  check-guide.py SOURCE

Every text that a message box of the three programs can show, taken from
their sources now, must stand in the guide's troubleshooting table word for
word (a %d there is any number, a line break is written <br>), and every
picture the guide names must exist. The setup program shows its boxes
through ShowSetupMessage, which counts as a box here."""
import os
import re
import sys

src = sys.argv[1]
guide = open(os.path.join(src, 'docs', 'user-guide.md'), encoding='utf-8').read()
table = guide[guide.index('\n## Troubleshooting'):].split('\n## ')[1]
LITERAL = r'"(?:[^"\\]|\\.)*"'
BOX = r'\b(?:MessageBoxA|ShowSetupMessage)\s*\('
# The text argument: string literals, or a variable (or a macro's name).
CALL = re.compile(BOX + r'\s*[^,]+,\s*((?:%s\s*)+|\w+)' % LITERAL)
# A box whose text is a variable: the file that writes the texts it can hold
# (its own, or the step table's), and how.
STEP_FAILURES = ('setup/setupsteps.cpp', r'\{ \w+, (%s)' % LITERAL)
FED = {
    'calibration/startup.cpp': ('calibration/startup.cpp', r'wsprintfA\(text, (%s)' % LITERAL),
    'setup/setupsteps.cpp': STEP_FAILURES,
    'setup/restart.cpp': ('setup/restart.cpp', r'#define \w+ +(%s)' % LITERAL),
    'setup/uninstall.cpp': ('setup/uninstall.cpp', r'FormatBounded\(text, sizeof\(text\), (%s)' % LITERAL),
}
# The one box of the setup program, which shows its callers' texts.
PASSES_ON = {'setup/setupmessage.cpp'}


def text_of(literals):
    return ''.join(bytes(s[1:-1], 'ascii').decode('unicode_escape') for s in literals)


def read(path):
    return open(os.path.join(src, path)).read()


texts, failures = [], []
for room in ('calibration', 'rightbutton', 'setup', 'common'):
    names = sorted(os.listdir(os.path.join(src, room)))
    # Texts a box may name by a macro: #define NAME "..." (continued lines too).
    macros = {}
    for name in names:
        if name.endswith(('.h', '.cpp')):
            for macro, body in re.findall(r'#define (\w+)[ \t]+((?:\\\n|[^\n])*)', read(f'{room}/{name}')):
                if re.fullmatch(r'(?:%s\s*|\\\n\s*)+' % LITERAL, body.strip()):
                    macros[macro] = re.findall(LITERAL, body)
    for name in (n for n in names if n.endswith('.cpp')):
        path = f'{room}/{name}'
        if path in PASSES_ON:
            continue
        code = read(path)
        calls, variables = CALL.findall(code), []
        if len(calls) != len(re.findall(BOX, code)):
            failures.append(f'{path}: a message box call this check cannot read')
        for text in calls:
            if text.startswith('"'):
                texts.append((path, text_of(re.findall(LITERAL, text))))
            elif text in macros:
                texts.append((path, text_of(macros[text])))
            else:
                variables.append(text)
        if variables and (path not in FED or len(variables) > 1):
            failures.append(f'{path}: a message box shows {variables}; tell this check where its texts are')
        elif variables:
            source, pattern = FED[path]
            found = re.findall(pattern, read(source))
            if not found:
                failures.append(f'{path}: no texts found in {source}; tell this check where they are now')
            texts += [(path, text_of([s])) for s in found]

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
