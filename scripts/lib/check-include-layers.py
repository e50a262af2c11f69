#!/usr/bin/env python3
"""The layers of src/, as its includes must show them: each folder includes
only itself and the folders listed for it, so that base lies below system,
system below framework, monitor and settings, and so on up to ui; and inside
a folder no include goes round in a circle (a file and its header counted as
one). Lists each include that breaks a rule and each circle, and fails if
there is one.

--files also says so when there is no circle."""
import collections
import os
import re
import sys

# What each folder may include besides itself.
BELOW = {
    'base': set(),
    'system': {'base'},
    'framework': {'base', 'system'},
    'monitor': {'base', 'system'},
    'settings': {'base', 'system', 'monitor'},  # the monitor's settings record
    'controls': {'base', 'system', 'framework'},
    'ui': {'base', 'system', 'framework', 'controls', 'monitor', 'settings'},
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/([^"]+)"', re.M)


def includes(src):
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if re.search(r'\.(h|cpp)$', name):
                path = os.path.join(folder, name)
                with open(path, encoding='utf-8') as file:
                    for match in INCLUDE.finditer(file.read()):
                        yield os.path.relpath(path, src), match.group(1), match.group(1) + '/' + match.group(2)


def circles(graph):
    """The strongly connected parts of more than one node (Tarjan)."""
    index, low, stack, on, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on.add(node)
        for next_node in sorted(graph.get(node, ())):
            if next_node not in index:
                visit(next_node)
                low[node] = min(low[node], low[next_node])
            elif next_node in on:
                low[node] = min(low[node], index[next_node])
        if low[node] == index[node]:
            part = []
            while True:
                member = stack.pop()
                on.discard(member)
                part.append(member)
                if member == node:
                    break
            if len(part) > 1:
                found.append(sorted(part))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def main():
    src = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'src')
    status = 0
    modules = collections.defaultdict(set)
    for path, folder, included in includes(src):
        layer = path.split('/')[0]
        if folder != layer and folder not in BELOW.get(layer, set()):
            print(f'check-include-layers: src/{path} includes "{included}", which {layer}/ may not', file=sys.stderr)
            status = 1
        if folder == layer:
            here, there = re.sub(r'\.(h|cpp)$', '', path), re.sub(r'\.(h|cpp)$', '', included)
            if here != there:
                modules[here].add(there)
    parts = circles(modules)
    for part in parts:
        print('check-include-layers: these files of src/ include each other in a circle: ' + ' '.join(part),
              file=sys.stderr)
        status = 1
    if '--files' in sys.argv[1:] and not parts:
        print('no circle among files')
    return status


if __name__ == '__main__':
    sys.exit(main())
