#!/usr/bin/env python3
"""Prints every include cycle among the window's files (gui/) and fails on any.

A class is one node: its header, its source and the sources that carry more of
it (ProgramViewEdit.cpp belongs to ProgramView.h, the header of its folder that
begins its name). Node A leads to node B when a file of A includes a file of B.

Classes that call back into each other talk through signals or an interface
the lower one declares (the document's IWorkingCopy), so a cycle makes the
exit status 1.

Usage: scripts/check-include-cycles.py [--quiet] [REPOSITORY_ROOT]
"""
import os
import posixpath
import re
import sys

# Quoted and <...> includes alike: the include path holds the repository root.
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)', re.MULTILINE)


def files_under(root, top):
    for folder, _, names in os.walk(os.path.join(root, top)):
        for name in names:
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def node_of(path, headers):
    stem = os.path.splitext(path)[0]
    if stem in headers:
        return stem
    # A source without a header of its own: the longest header stem that begins it.
    owners = [h for h in headers if os.path.dirname(h) == os.path.dirname(stem) and stem.startswith(h)]
    return max(owners, key=len) if owners else stem


def include_graph(root):
    paths = sorted(files_under(root, "gui"))
    headers = {os.path.splitext(p)[0] for p in paths if p.endswith(".h")}
    graph = {}
    for path in paths:
        node = node_of(path, headers)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            written = [q or a for q, a in INCLUDE.findall(f.read())]
        # "gui/x/../y/A.h" is gui/y/A.h.
        included = [p for p in map(posixpath.normpath, written) if p.startswith("gui/")]
        targets = graph.setdefault(node, set())
        for inc in included:
            target = node_of(inc, headers)
            if target != node:
                targets.add(target)
    return graph


def cycles(graph):
    """Every elementary cycle, each once, starting at its smallest node."""
    found = []
    for start in sorted(graph):
        path = [start]
        on_path = {start}

        def walk(node):
            for nxt in sorted(graph.get(node, ())):
                if nxt == start:
                    found.append(list(path))
                elif nxt > start and nxt not in on_path and nxt in graph:
                    path.append(nxt)
                    on_path.add(nxt)
                    walk(nxt)
                    on_path.discard(nxt)
                    path.pop()

        walk(start)
    return found


def main():
    args = sys.argv[1:]
    # --quiet (the build's step): only what fails is printed.
    quiet = "--quiet" in args
    args = [a for a in args if a != "--quiet"]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if not os.path.isdir(os.path.join(root, "gui")):
        print(f"check-include-cycles: {root} has no gui/ folder", file=sys.stderr)
        return 2
    bad = 0
    for cycle in cycles(include_graph(root)):
        bad += 1
        print("CYCLE: " + " -> ".join(cycle + cycle[:1]))
    if bad:
        print(f"check-include-cycles: {bad} include cycle(s) in gui/", file=sys.stderr)
        return 1
    if not quiet:
        print("check-include-cycles: no include cycle in gui/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
