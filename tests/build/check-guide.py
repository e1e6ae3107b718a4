#!/usr/bin/env python3
"""The user guide against the programs:  check-guide.py SOURCE

Each program's fixed texts stand in one header (TEXTS below). Every text a
message box of the three programs can show is a macro there whose name ends
in _TEXT, and each must stand in the guide's troubleshooting table word for
word (a %d there is any number, a line break is written <br>). So that no
box can show a text from anywhere else, no message box call in the sources
may pass a string literal as its text. Every picture the guide names must
exist. The setup program shows its boxes through ShowSetupMessage, which
counts as a box here."""
import os
import re
import sys

src = sys.argv[1]
TEXTS = ('setup/core/texts.h', 'calibration/texts.h', 'rightbutton/texts.h')
ROOMS = ('calibration', 'rightbutton', 'setup', 'setup/core', 'common')
# The one box of the setup program, which shows its callers' texts.
PASSES_ON = {'setup/core/setupmessage.cpp'}

guide = open(os.path.join(src, 'docs', 'user-guide.md'), encoding='utf-8').read()
table = guide[guide.index('\n## Troubleshooting'):].split('\n## ')[1]
LITERAL = r'"(?:[^"\\]|\\.)*"'
BOX = r'\b(?:MessageBoxA|ShowSetupMessage)\s*\('
# The text argument of a box call.
TEXT_ARGUMENT = re.compile(BOX + r'\s*[^,]+,\s*("?)')


def read(path):
    return open(os.path.join(src, path)).read()


def text_of(literals):
    return ''.join(bytes(s[1:-1], 'ascii').decode('unicode_escape') for s in literals)


texts, failures = [], []
for header in TEXTS:
    if not os.path.isfile(os.path.join(src, header)):
        continue
    # #define NAME_TEXT "..." "...", continued lines too.
    for name, body in re.findall(r'#define (\w+_TEXT)[ \t]+((?:\\\n|[^\n])*)', read(header)):
        literals = re.findall(LITERAL, body)
        if not literals:
            failures.append(f'{header}: {name} holds no string')
        texts.append((f'{header} {name}', text_of(literals)))

for room in ROOMS:
    for name in sorted(os.listdir(os.path.join(src, room))):
        path = f'{room}/{name}'
        if not name.endswith('.cpp') or path in PASSES_ON:
            continue
        for quote in TEXT_ARGUMENT.findall(read(path)):
            if quote:
                failures.append(f'{path}: a message box shows a literal text; put it in its program\'s texts header')

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
