#!/usr/bin/env python3
"""Finds circles between the source files of one folder (src/platform/qt).

A file depends on the file that defines what it uses from the headers it
includes: a free function declared in a header, or the members of a class
declared there. A header whose functions are defined by files that include
it back (a plug-in defining what the common header promises) hides a
circle from a plain include graph; following definitions shows it.

Prints every circle found and exits 1; prints nothing and exits 0 when
there is none.
"""

import importlib.util
import re
import sys
from pathlib import Path

# The circle finder of the include check, one for both checks.
_spec = importlib.util.spec_from_file_location('include_cycles', Path(__file__).with_name('include-cycles.py'))
include_cycles = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(include_cycles)

INCLUDE = re.compile(r'^#include "(?P<path>[^"]+)"', re.M)
# Declarations at namespace scope start in column 0 (clang-format keeps it so).
FUNCTION_DECL = re.compile(r'^(?![#/}\s]|class |struct |using |namespace |template |friend |return )[^;(=]*?\b(?P<name>[A-Za-z_]\w*)\([^;{]*\)\s*(const\s*)?;', re.M)
CLASS_DECL = re.compile(r'^class (?P<name>[A-Za-z_]\w*)\b[^;]*\{', re.M)


def strip_comments(text):
    text = re.sub(r'/\*.*?\*/', '', text, flags=re.S)
    return re.sub(r'//[^\n]*', '', text)


def definers(name, texts):
    """The source files that define the free function `name`."""
    found = set()
    pattern = re.compile(r'^(?![\s#/}])[^;(=]*?(?<!::)\b' + re.escape(name) + r'\([^;]*?\)\s*(const\s*)?\{', re.M)
    for path, text in texts.items():
        if path.suffix == '.cpp' and pattern.search(text):
            found.add(path)
    return found


def member_definers(name, texts):
    # A definition starts in column 0; a call of a static member is indented.
    pattern = re.compile(r'^(?![\s#/}])[^;=]*\b' + re.escape(name) + r'::~?\w+\([^;]*$', re.M)
    return {p for p, t in texts.items() if p.suffix == '.cpp' and pattern.search(t)}


def graph(folder, root):
    texts = {p: strip_comments(p.read_text()) for p in sorted(folder.iterdir()) if p.suffix in ('.h', '.cpp')}
    provides = {}  # header -> [(symbol, files defining it)]
    for header, text in texts.items():
        if header.suffix != '.h':
            continue
        symbols = [(m['name'], definers(m['name'], texts)) for m in FUNCTION_DECL.finditer(text)]
        symbols += [(m['name'], member_definers(m['name'], texts)) for m in CLASS_DECL.finditer(text)]
        provides[header] = symbols
    edges = {p: {} for p in texts}
    for path, text in texts.items():
        for m in INCLUDE.finditer(text):
            header = root / m['path']
            if header not in provides:
                continue
            for name, files in provides[header]:
                if re.search(r'\b' + re.escape(name) + r'\b', text):
                    for target in files - {path}:
                        edges[path].setdefault(target, name)
    return edges


def circles(edges):
    """One circle per strongly connected set of files, its members in order."""
    return [sorted(members) for members in include_cycles.strong_components(edges)]


def main():
    root = Path(sys.argv[2] if len(sys.argv) > 2 else 'src')
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else root / 'platform' / 'qt')
    edges = graph(folder, root)
    status = 0
    for members in circles(edges):
        status = 1
        print(f'circle of {len(members)} files in {folder}:')
        for m in members:
            inside = ', '.join(f'{t.name} ({why})' for t, why in sorted(edges[m].items()) if t in members)
            print(f'  {m.name} uses {inside}')
    return status


if __name__ == '__main__':
    sys.exit(main())
