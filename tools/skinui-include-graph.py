#!/usr/bin/env python3
"""Prints the include graph of the skin UI framework by folder and checks its layering.

A component is one Name.h/Name.cpp pair. Components of skinui/ may include only components of
their own folder or of folders below it in LAYERS, and no components may include each other in
a cycle, except the pairs in ALLOWED_CYCLES. Exits with 1 (listing what is wrong) otherwise.

Usage: skinui-include-graph.py [REPOSITORY_ROOT] [--components]
"""

import os
import re
import sys
from collections import defaultdict

# Lowest first: a folder may use the ones before it.
LAYERS = ["markup", "resources", "render", "core", "layouts", "controls", "extras", "builder",
          "access", "window"]

# Components that may know each other: the manager and the control base; a control and its
# native helper; the child layout, which builds its children, and the builder.
ALLOWED_CYCLES = [
    {"core/SkinWindowManager", "core/ControlUI"},
    {"controls/EditUI", "controls/EditWnd"},
    {"controls/RichEditUI", "controls/TxtWinHost"},
    {"extras/ChildLayoutUI", "builder/SkinBuilder"},
]
# Includes that run against the layers on purpose (from, to).
ALLOWED_BACK_EDGES = {("extras/ChildLayoutUI", "builder/SkinBuilder")}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def components(root):
    """Maps each component ("folder/Name") to the set of skinui components it includes."""
    edges = defaultdict(set)
    framework = os.path.join(root, "skinui")
    for folder, _, files in os.walk(framework):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            me = os.path.splitext(os.path.relpath(path, framework))[0].replace(os.sep, "/")
            edges[me]
            with open(path, encoding="utf-8") as source:
                for line in source:
                    match = INCLUDE.match(line)
                    if not match or not match.group(1).startswith("skinui/"):
                        continue
                    target = os.path.splitext(match.group(1)[len("skinui/"):])[0]
                    if target != me:
                        edges[me].add(target)
    return edges


def folder_of(component):
    return component.split("/")[0] if "/" in component else "(top)"


def strongly_connected(edges):
    """Tarjan's algorithm, iterative; returns the components of more than one node."""
    index, low, on_stack, stack, result = {}, {}, set(), [], []
    counter = 0
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in edges:
                    continue
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges[child]))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                group = set()
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.add(member)
                    if member == node:
                        break
                if len(group) > 1:
                    result.append(group)
    return result


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    edges = components(root)
    problems = []

    print("include graph of skinui/ by folder (includes per folder pair):")
    by_folder = defaultdict(lambda: defaultdict(int))
    for source, targets in edges.items():
        for target in targets:
            if folder_of(source) != folder_of(target):
                by_folder[folder_of(source)][folder_of(target)] += 1
    order = {name: rank for rank, name in enumerate(LAYERS)}
    for folder in sorted(set(map(folder_of, edges)), key=lambda f: order.get(f, -1)):
        uses = by_folder.get(folder, {})
        listed = ", ".join("%s (%d)" % (t, uses[t]) for t in sorted(uses, key=lambda f: order.get(f, -1)))
        print("  %-9s -> %s" % (folder, listed or "-"))

    for source, targets in sorted(edges.items()):
        if folder_of(source) not in order:
            problems.append("%s: outside the layer folders" % source)
            continue
        for target in sorted(targets):
            if target not in edges:
                problems.append("%s includes missing skinui/%s" % (source, target))
            elif order.get(folder_of(target), 99) > order[folder_of(source)] and \
                    (source, target) not in ALLOWED_BACK_EDGES:
                problems.append("%s includes %s, a higher layer" % (source, target))

    print("cycles:")
    for group in sorted(strongly_connected(edges), key=sorted):
        allowed = group in ALLOWED_CYCLES
        print("  %s %s" % ("allowed:" if allowed else "NEW:    ", " <-> ".join(sorted(group))))
        if not allowed:
            problems.append("include cycle: " + " <-> ".join(sorted(group)))

    if "--components" in argv:
        print("components:")
        for source in sorted(edges):
            print("  %s -> %s" % (source, ", ".join(sorted(edges[source])) or "-"))

    for problem in problems:
        print("error: " + problem)
    print("%d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
