#!/usr/bin/env python3
"""Checks the program's #include lines against its layers.

The folders form layers, top to bottom: app, windows, puzzle, module,
platform. A file may include files of its own folder and of the folders below
it, never of a folder above. Files are also grouped into units (X.h with X.cpp)
and no unit may reach itself again through includes: a circle between files
means neither can be understood, built or tested without the other.

Exits 1 and names every offending include or circle; prints the edges it
checked with --verbose. Run from anywhere: the tree is the script's parent.
"""
import os
import re
import sys

LAYERS = ["platform", "module", "puzzle", "windows", "app"]
RANK = {name: rank for rank, name in enumerate(LAYERS)}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".cpp")


def layer_of(root, path):
    parts = os.path.relpath(path, root).split(os.sep)
    return parts[0] if parts[0] in RANK else None


def resolve(root, including, name):
    # Quoted includes are looked up next to the including file first, then
    # from the top of the tree (or the build's generated copy of it).
    local = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.exists(local):
        return local
    return os.path.normpath(os.path.join(root, name))


def unit_of(path):
    return os.path.splitext(path)[0]


def find_circles(edges):
    # Tarjan's strongly connected components; any component of more than one
    # unit, or a unit that reaches itself, is a circle.
    index = {}
    low = {}
    stack = []
    on_stack = set()
    circles = []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for target in sorted(edges.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1 or node in edges.get(node, ()):
                circles.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(edges):
        if node not in index:
            visit(node)
    return circles


def main():
    verbose = "--verbose" in sys.argv[1:]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = []
    edges = {}
    checked = 0
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for file in sorted(files):
                if not file.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(folder, file)
                with open(path, encoding="utf-8", errors="replace") as source:
                    lines = source.readlines()
                for number, line in enumerate(lines, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = resolve(root, path, match.group(1))
                    target_layer = layer_of(root, target)
                    where = "%s:%d" % (os.path.relpath(path, root), number)
                    checked += 1
                    if target_layer is None:
                        # Made by the build: the version header, and moc's
                        # output for the including file itself.
                        made = ("platform/Version.h", os.path.splitext(file)[0] + ".moc")
                        if match.group(1) not in made:
                            problems.append("%s: %s is outside the layers" % (where, match.group(1)))
                        continue
                    if RANK[target_layer] > RANK[layer]:
                        problems.append("%s: %s/ includes %s, which runs up the layers (%s)"
                                        % (where, layer, match.group(1), " > ".join(reversed(LAYERS))))
                    source_unit = os.path.relpath(unit_of(path), root)
                    target_unit = os.path.relpath(unit_of(target), root)
                    if source_unit != target_unit:
                        edges.setdefault(source_unit, set()).add(target_unit)
                    if verbose:
                        print("%s -> %s" % (where, os.path.relpath(target, root)))
    for circle in find_circles(edges):
        problems.append("circle between files: " + " <-> ".join(circle))
    for problem in problems:
        print(problem)
    print("%d includes checked, %d problems" % (checked, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
