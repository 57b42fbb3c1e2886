#!/usr/bin/env python3
"""Chooses and applies the single-line mutants of scripts/mutate.sh.

A mutant list has one mutant a line: file, line number, original line and
mutated line, separated by tabs (source lines hold no tabs).

  mutate.py choose SEED ROOT BUILD FILE...  every candidate on an executed line, shuffled
  mutate.py apply ROOT FILE LINE FROM TO    replaces line LINE when it reads FROM
"""
import json
import random
import re
import subprocess
import sys
from pathlib import Path

STRING_OR_COMMENT = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'|//.*')
# Operators need a space on each side, which keeps templates, <<, -> and T&& out.
SWAPS = {'==': '!=', '!=': '==', '<': '<=', '<=': '<', '>': '>=', '>=': '>', '&&': '||', '||': '&&'}
OPERATOR = re.compile(r'(?<= )(==|!=|<=|>=|<|>|&&|\|\|)(?= )')
BOOLEAN = re.compile(r'\b(true|false)\b')
PLUS_MINUS_ONE = re.compile(r' [+-] 1\b(?![.\w])')
STATEMENT_START = (';', '{', '}', ')', ':', 'else')
SIMPLE_STATEMENT = re.compile(r'(?!(return\s|(for|case|default)\b))([A-Za-z_*(~]|\+\+|--)')
DECLARATION = re.compile(r'(?!(delete|emit|else|throw)\b)(const\s+)?[\w:]+(<.*>)?[\s*&]+\w+\s*[=;({]')


def masked(line):
    """The line with literals blanked and its comment dropped, so columns still match."""
    return STRING_OR_COMMENT.sub(lambda m: '' if m.group().startswith('//') else ' ' * len(m.group()), line)


def mutations(line, previous):
    code = masked(line)
    for m in OPERATOR.finditer(code):
        yield line[:m.start()] + SWAPS[m.group()] + line[m.end():]
    for m in BOOLEAN.finditer(code):
        yield line[:m.start()] + ('false' if m.group() == 'true' else 'true') + line[m.end():]
    for m in PLUS_MINUS_ONE.finditer(code):
        yield line[:m.start()] + line[m.end():]
    # A whole simple statement becomes the empty one. Declarations would not
    # build without their name, and a value-returning return would only make
    # undefined behaviour, so they stay.
    statement = code.strip()
    if (statement.endswith(';') and previous.rstrip().endswith(STATEMENT_START)
            and SIMPLE_STATEMENT.match(statement) and not DECLARATION.match(statement)
            and not any(c in statement for c in '{}') and statement.count('(') == statement.count(')')):
        yield line[:len(line) - len(line.lstrip())] + ';'


def executed_lines(build, sources):
    """Line numbers with a count above zero, per source file, from gcov's JSON."""
    executed = {}
    names = {source.name + '.gcda' for source in sources}
    for gcda in (g for g in Path(build).rglob('*.gcda') if g.name in names):
        report = subprocess.run(['gcov', '--json-format', '--stdout', str(gcda)], cwd=gcda.parent,
                                capture_output=True, text=True, check=True).stdout
        for chunk in report.splitlines():
            for entry in json.loads(chunk)['files']:
                source = Path(entry['file']).resolve()
                if source in sources:
                    executed.setdefault(source, set()).update(
                        line['line_number'] for line in entry['lines'] if line['count'] > 0)
    return executed


def choose(seed, root, build, files):
    root = Path(root).resolve()
    sources = {(root / f).resolve() for f in files}
    candidates = []
    for source, numbers in sorted(executed_lines(build, sources).items()):
        lines = source.read_text(encoding='utf-8').split('\n')
        for number in sorted(numbers):
            line = lines[number - 1]
            if line.lstrip().startswith(('#', '//')):
                continue
            previous = next((masked(p) for p in reversed(lines[:number - 1]) if masked(p).strip()), ';')
            name = str(source.relative_to(root))
            candidates += [(name, number, line, mutated) for mutated in mutations(line, previous)]
    random.Random(seed).shuffle(candidates)
    used = set()
    for name, number, line, mutated in candidates:
        if (name, number) not in used:  # one mutant a line
            used.add((name, number))
            print(f'{name}\t{number}\t{line}\t{mutated}')


def apply(root, name, number, original, mutated):
    path = Path(root) / name
    lines = path.read_text(encoding='utf-8').split('\n')
    index = int(number) - 1
    if not 0 <= index < len(lines) or lines[index] != original:
        sys.exit(f'{name}:{number} no longer reads: {original.strip()}')
    lines[index] = mutated
    path.write_text('\n'.join(lines), encoding='utf-8')


if __name__ == '__main__':
    command, arguments = sys.argv[1], sys.argv[2:]
    if command == 'choose':
        choose(int(arguments[0]), arguments[1], arguments[2], arguments[3:])
    elif command == 'apply':
        apply(*arguments)
    else:
        sys.exit(__doc__)
