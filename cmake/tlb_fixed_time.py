#!/usr/bin/env python3
"""Give a type library written by widl a fixed creation time.

Usage: tlb_fixed_time.py FILE.tlb

widl stores when it wrote the library twice, as two custom data items of the
library: the text "Created by WIDL version V at <ctime>\\n" and the same time
as a VT_UI4 number that follows it. Both are replaced, in place, by the time
SOURCE_DATE_EPOCH names (0 when unset). The ctime text is always 24
characters, so nothing moves.
"""
import os
import re
import struct
import sys
import time

VT_UI4 = 0x13


def main():
    path = sys.argv[1]
    data = bytearray(open(path, 'rb').read())
    found = re.search(rb'Created by WIDL version [^\x00\n]* at ([^\n]{24})\n', data)
    if not found:
        sys.exit(f'{path}: no creation time of widl found')
    stamp = found.group(1).decode('ascii')
    # The number: a VARIANT's type, then its four bytes, after the text's padding.
    after = found.end()
    number = None
    for at in range(after, after + 8):
        if data[at:at + 2] == struct.pack('<H', VT_UI4):
            value = struct.unpack_from('<I', data, at + 2)[0]
            if time.ctime(value) == stamp or time.asctime(time.gmtime(value)) == stamp:
                number = at + 2
                break
    if number is None:
        sys.exit(f'{path}: the creation time as a number was not found after "{stamp}"')
    fixed = int(os.environ.get('SOURCE_DATE_EPOCH', '0'))
    data[found.start(1):found.end(1)] = time.asctime(time.gmtime(fixed)).encode('ascii')
    struct.pack_into('<I', data, number, fixed)
    open(path, 'wb').write(bytes(data))


main()
