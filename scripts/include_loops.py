#!/usr/bin/env python3
"""Include loops between the units of source folders.

A unit is a header and its source file (gif/gif_image.h and gif/gif_image.cpp). Unit A uses unit B
when a file of A includes B's header, so A.cpp including B.h while B.cpp includes A.h is a loop,
as well as headers that include each other. Only includes within the same folder are followed
("gamedb/x.h" from gamedb/). Prints each group of units that reach one another, with the includes
that tie it, and exits 1 when there is any.

usage: scripts/include_loops.py [folder...]   (from the repository root; default: gamedb gif)
"""
import os
import re
import sys
from collections import defaultdict

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)\.(?:h|hpp)"')


def read_units(folder):
    """unit -> {used unit: [the file that includes it, ...]} for one folder."""
    uses = defaultdict(lambda: defaultdict(list))
    for name in sorted(os.listdir(folder)):
        stem, ext = os.path.splitext(name)
        if ext not in ('.h', '.hpp', '.cpp'):
            continue
        unit = folder + '/' + stem
        uses[unit]  # a unit that includes nothing is still one
        with open(os.path.join(folder, name), encoding='utf-8', errors='replace') as f:
            for line in f:
                m = INCLUDE.match(line)
                if m and m.group(1) != unit and os.path.dirname(m.group(1)) == folder:
                    uses[unit][m.group(1)].append(name)
    return uses


def loops(uses):
    """The strongly connected groups of more than one unit (Tarjan), each sorted."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in uses.get(v, {}):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(uses):
        if v not in index:
            visit(v)
    return groups


def main(folders):
    found = 0
    for folder in folders:
        uses = read_units(folder.rstrip('/'))
        for group in loops(uses):
            found += 1
            print('loop in %s: %s' % (folder, ' '.join(u.split('/')[-1] for u in group)))
            members = set(group)
            for unit in group:
                for used, files in sorted(uses[unit].items()):
                    if used in members:
                        print('    %s includes %s.h' % (', '.join(files), used))
    if not found:
        print('no include loop in ' + ' '.join(folders))
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:] or ['gamedb', 'gif']))
