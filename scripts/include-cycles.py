#!/usr/bin/env python3
"""Finds circles of files: a file that, through the files it includes, comes
back to itself. With --components a header and the source of the same name
count as one file, which also finds two sources that each include the
other's header: a stricter measure, for reading rather than for the gate.

Includes are read as written ("folder/file.h", relative to the root given, or
else to the including file's folder); system includes (<...>) are passed
over. Prints every circle found and exits 1, or exits 0 when there is none.

    scripts/include-cycles.py [--components] [--exclude DIR]... ROOT
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
EXTENSIONS = (".h", ".hpp", ".cpp", ".cc")


def read_graph(root, excluded, component):
    """File (or component) -> the ones it includes, itself left out."""
    files = []
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = sorted(s for s in subfolders if os.path.join(folder, s) not in excluded)
        files += [os.path.join(folder, n) for n in sorted(names) if n.endswith(EXTENSIONS)]
    known = {os.path.relpath(f, root) for f in files}
    graph = {}
    for f in files:
        name = os.path.relpath(f, root)
        edges = graph.setdefault(component(name), set())
        with open(f, encoding="utf-8", errors="replace") as text:
            for included in INCLUDE.findall(text.read()):
                beside = os.path.normpath(os.path.join(os.path.dirname(name), included))
                target = included if included in known else beside if beside in known else None
                if target is not None and component(target) != component(name):
                    edges.add(component(target))
    return graph


def strong_components(graph):
    """Tarjan's algorithm without recursion: the sets of components that all reach each other."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = len(index)
        stack.append(start)
        on_stack.add(start)
        while work:
            node, successors = work[-1]
            step = next(successors, None)
            if step is not None:
                if step not in index:
                    index[step] = low[step] = len(index)
                    stack.append(step)
                    on_stack.add(step)
                    work.append((step, iter(sorted(graph.get(step, ())))))
                elif step in on_stack:
                    low[node] = min(low[node], index[step])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                members = set()
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    members.add(member)
                    if member == node:
                        break
                if len(members) > 1:
                    found.append(members)
    return found


def one_circle(graph, members):
    """A shortest way from the first member back to itself, inside the set."""
    start = min(members)
    came_from = {start: None}
    frontier = [start]
    while frontier:
        following = []
        for node in frontier:
            for step in sorted(graph[node] & members):
                if step == start:
                    path = [node]
                    while came_from[path[-1]] is not None:
                        path.append(came_from[path[-1]])
                    return list(reversed(path)) + [start]
                if step not in came_from:
                    came_from[step] = node
                    following.append(step)
        frontier = following
    return [start]


def main():
    parser = argparse.ArgumentParser(description="Finds circles of files that include each other.")
    parser.add_argument("root")
    parser.add_argument("--exclude", action="append", default=[], help="a folder below the root to leave out")
    parser.add_argument("--components", action="store_true", help="a header and its source count as one file")
    args = parser.parse_args()
    root = os.path.normpath(args.root)
    excluded = {os.path.normpath(e) for e in args.exclude}
    graph = read_graph(root, excluded, (lambda p: os.path.splitext(p)[0]) if args.components else (lambda p: p))
    circles = strong_components(graph)
    for members in sorted(circles, key=min):
        names = " -> ".join(os.path.join(root, c) for c in one_circle(graph, members))
        print(f"circle of {len(members)} files: {names}")
    return 1 if circles else 0


if __name__ == "__main__":
    sys.exit(main())
