#!/usr/bin/env python3
"""Print a Wine prefix's registry files (system.reg, user.reg, userdef.reg)
without what Wine itself changes from one start to the next, so that two
snapshots of one prefix compare equal unless a program changed the registry.

Usage: registry_snapshot.py PREFIX

Dropped:
- the time stamp after each key's name and the `#time=` lines (when a key was
  last written: an installer that rewrites a value with the same data changes
  it);
- the file headers (`;; All keys relative to ...`, `#arch=`);
- the keys Wine's drivers rewrite at every start: the display adapter and
  monitor classes under System\\CurrentControlSet\\Control\\Class (their
  default values and driver dates), the device tree under
  System\\CurrentControlSet\\Enum, and the network cards under
  ...\\Windows NT\\CurrentVersion\\NetworkCards, which Wine lists on demand;
- HKCU\\Console, where Wine's console host writes its defaults the first time
  a program opens a console window (Windows has the key from the start).
"""
import os
import re
import sys

VOLATILE = (
    'System\\\\CurrentControlSet\\\\Control\\\\Class\\\\{4D36E968-E325-11CE-BFC1-08002BE10318}',
    'System\\\\CurrentControlSet\\\\Control\\\\Class\\\\{4D36E96E-E325-11CE-BFC1-08002BE10318}',
    'System\\\\CurrentControlSet\\\\Enum',
)
VOLATILE_NAMES = ('NetworkCards',)


def volatile(key, hive):
    if hive == 'user.reg' and (key == 'Console' or key.startswith('Console\\\\')):
        return True
    if any(key == v or key.startswith(v + '\\\\') for v in VOLATILE):
        return True
    return any('\\\\' + n in key for n in VOLATILE_NAMES)


def main():
    prefix = sys.argv[1]
    for name in ('system.reg', 'user.reg', 'userdef.reg'):
        print('## ' + name)
        path = os.path.join(prefix, name)
        if not os.path.exists(path):
            continue
        skip = False
        with open(path, encoding='utf-8', errors='surrogateescape') as f:
            for line in f:
                line = line.rstrip('\n')
                header = re.match(r'^\[(.*)\] \d+$', line)
                if header:
                    skip = volatile(header.group(1), name)
                    line = '[' + header.group(1) + ']'
                elif line.startswith('#time=') or line.startswith('#arch=') or line.startswith(';;'):
                    continue
                if not skip:
                    sys.stdout.write(line + '\n')


main()
