#!/usr/bin/env python3
"""The user guide against the programs:  check-guide.py SOURCE

Each program's fixed texts stand in one header (HEADERS below). Every text
there that a user sees must stand in the guide as a whole cell of a table,
in the column for its kind, which its name tells:

    name ends in                       what it is               column
    _TEXT                              a message box's text     Message
    _CAPTION                           a message box's caption  Title
    _TRACE                             a trace line             Line
    _LABEL, _TITLE, or in SCREEN below  a window's or screen's   Text

A cell holds the text exactly as the user sees it. A text with numbers in
it (%d, %5d) is written as an example, what the program prints for some
numbers, followed by " (pattern: ...)", the text with a capital letter for
each number: "Setup file fail(2:9). (pattern: Setup file fail(N:C).)". A
line break is written <br>; the blanks at either end of a line cannot
stand in a table cell and are left out, and so is the line break that ends
a trace line. Code marks (`) are markup, not text. Every other string in
the headers is listed in UNSEEN, so that a new text cannot be added
without the guide.

Conversely, every cell of a Message or Title column is a text of one of
the programs, so that the guide explains no message that no longer
exists. So that no box can show a text from anywhere else, no message box
call in the sources passes a string literal as its text. Every picture the
guide names must exist."""
import os
import re
import sys

src = sys.argv[1]
HEADERS = ('setup/core/texts.h', 'calibration/texts.h', 'rightbutton/texts.h')
COLUMNS = (('_TEXT', 'Message'), ('_CAPTION', 'Title'), ('_TRACE', 'Line'), ('_LABEL', 'Text'), ('_TITLE', 'Text'))
# Drawn texts, and the reason Windows shows on its shutdown screen.
SCREEN = {'TARGET_INSTRUCTION', 'CHECK_QUESTION', 'SHUTDOWN_BLOCK_REASON'}
# Window class names, which no user sees, and a title that is empty.
UNSEEN = {'CALIBRATION_CLASS_NAME', 'RIGHT_BUTTON_CLASS', 'CALIBRATION_WINDOW_TITLE'}
ROOMS = ('calibration', 'rightbutton', 'setup', 'setup/core', 'common')
# The one box of the setup program, which shows its callers' texts.
PASSES_ON = {'setup/core/setupmessage.cpp'}

LITERAL = r'L?"(?:[^"\\]|\\.)*"'
NUMBER = r'%-?\d*d'
BOX = r'\b(?:MessageBoxA|ShowSetupMessage)\s*\('
# The text argument of a box call.
TEXT_ARGUMENT = re.compile(BOX + r'\s*[^,]+,\s*("?)')


def read(path):
    return open(os.path.join(src, path), encoding='utf-8').read()


def column_of(name):
    if name in UNSEEN:
        return None
    if name in SCREEN:
        return 'Text'
    return next((column for suffix, column in COLUMNS if name.endswith(suffix)), '')


def header_texts(header, failures):
    """(name, text) of every string macro of the header; a macro that names
    another one (#define A B) takes its text."""
    strings = {}
    # #define NAME ..., continued lines too.
    for name, body in re.findall(r'#define (\w+)[ \t]*((?:\\\n|[^\n])*)', read(header)):
        body = body.replace('\\\n', ' ').strip()
        literals = re.findall(LITERAL, body)
        if literals:
            strings[name] = ''.join(bytes(s[s.index('"') + 1:-1], 'ascii').decode('unicode_escape')
                                    for s in literals)
        elif body in strings:
            strings[name] = strings[body]
        elif body and (name.endswith(tuple(s for s, _ in COLUMNS)) or name in SCREEN):
            failures.append(f'{header}: {name} holds no string')
    return strings.items()


def shown(text):
    """The text as a table cell holds it."""
    if text.endswith('\n'):
        text = text[:-1]
    return '<br>'.join(line.strip(' ') for line in text.split('\n'))


def cell_holds(cell, text):
    """Whether the cell is the text, or for a format an example and its pattern."""
    cell = cell.replace('`', '')
    form = shown(text)
    parts = re.split(f'({NUMBER})', form)
    if len(parts) == 1:
        return cell == form
    written = re.fullmatch(r'(.*) \(pattern: (.*)\)', cell)
    if not written:
        return False
    example, pattern = written.groups()
    letters = ''.join('[A-Z]' if i % 2 else re.escape(part) for i, part in enumerate(parts))
    numbers = ''.join(' *(-?\\d+)' if i % 2 else re.escape(part) for i, part in enumerate(parts))
    found = re.fullmatch(numbers, example)
    # The example is what the format prints for its numbers, padding and all.
    return (re.fullmatch(letters, pattern) is not None and found is not None
            and shown(text % tuple(int(n) for n in found.groups())) == example)


def table_cells(guide):
    """(column name, cell) of every body cell of the guide's tables."""
    lines = [line.strip() for line in guide.split('\n')]
    cells = lambda line: [c.strip().replace('\\|', '|') for c in re.split(r'(?<!\\)\|', line.strip('|'))]
    for i in range(len(lines) - 1):
        if lines[i].startswith('|') and re.fullmatch(r'\|(\s*:?-+:?\s*\|)+', lines[i + 1]):
            header = cells(lines[i])
            for row in lines[i + 2:]:
                if not row.startswith('|'):
                    break
                yield from zip(header, cells(row))


failures = []
guide = read('docs/user-guide.md')
cells = list(table_cells(guide))
texts = []
for header in HEADERS:
    if not os.path.isfile(os.path.join(src, header)):
        continue
    for name, text in header_texts(header, failures):
        column = column_of(name)
        if column == '':
            failures.append(f'{header}: {name} is no text the check knows; end its name in _TEXT, _CAPTION, '
                            '_TRACE, _LABEL or _TITLE, or list it in SCREEN or UNSEEN')
        elif column:
            texts.append((column, name, text))
            found = any(c == column and cell_holds(cell, text) for c, cell in cells)
            print(f'{"ok  " if found else "MISSING"} {header} {name}: {text!r}')
            if not found:
                failures.append(f'{header} {name}: {shown(text)!r} is no whole cell of a {column} column'
                                + (' (with its pattern)' if re.search(NUMBER, text) else ''))

for column, cell in cells:
    if column in ('Message', 'Title') and not any(c == column and cell_holds(cell, t) for c, _, t in texts):
        failures.append(f'the guide\'s {column} cell {cell!r} is no text of the programs')

for room in ROOMS:
    for name in sorted(os.listdir(os.path.join(src, room))):
        path = f'{room}/{name}'
        if not name.endswith('.cpp') or path in PASSES_ON:
            continue
        for quote in TEXT_ARGUMENT.findall(read(path)):
            if quote:
                failures.append(f'{path}: a message box shows a literal text; put it in its program\'s texts header')

for image in re.findall(r'!\[[^\]]*\]\(([^)\s]+)\)', guide):
    if not os.path.isfile(os.path.join(src, 'docs', image)):
        failures.append(f'the guide shows {image}, which does not exist')

print('\n'.join(['FAIL: ' + f for f in failures] or [f'ok: {len(texts)} texts, all images present']))
sys.exit(1 if failures else 0)
