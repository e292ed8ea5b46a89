#!/usr/bin/env python3
"""Prints resources as `wrestool -x --raw` extracts them, as plain text lines
a test can compare:

  resource_dump.py strings BLOCK=FILE...  every string as ID<TAB>TEXT (a line
                                          feed shown as \\n), from the
                                          string-table blocks named by number
  resource_dump.py dialog FILE            the font, then each control as
                                          ID<TAB>CLASS<TAB>TEXT (DIALOGEX;
                                          class names in lower case)
  resource_dump.py bitmap FILE            WIDTHxHEIGHT@BITS of a DIB, then RLE8
                                          or RLE4 if so compressed
  resource_dump.py likeness LARGE SMALL    how far a DIB twice the size, averaged
                                          over 2x2 blocks, lies from SMALL (the
                                          mean channel difference); LARGE may be
                                          RLE8, decoded whole or refused
  resource_dump.py images PE-FILE...      for each executable or library, the
                                          sum of the data sizes of its RT_BITMAP,
                                          RT_ICON and RT_GROUP_ICON resources,
                                          read from its resource directory
"""
import struct
import sys

CLASSES = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox",
           0x84: "scrollbar", 0x85: "combobox"}


def strings(args):
    out = []
    for arg in args:
        block, path = arg.split("=", 1)
        data, offset = open(path, "rb").read(), 0
        for i in range(16):
            (length,) = struct.unpack_from("<H", data, offset)
            text = data[offset + 2:offset + 2 + 2 * length].decode("utf-16-le")
            offset += 2 + 2 * length
            if length:
                out.append((16 * (int(block) - 1) + i, text))
    for number, text in sorted(out):
        print(f"{number}\t{text.replace(chr(10), chr(92) + 'n')}")


def sz(data, offset):
    """A NUL-terminated UTF-16 string and the offset after it."""
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def sz_or_ordinal(data, offset):
    (first,) = struct.unpack_from("<H", data, offset)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    if first == 0:
        return "", offset + 2
    return sz(data, offset)


def dialog(path):
    data = open(path, "rb").read()
    version, signature = struct.unpack_from("<HH", data, 0)
    assert (version, signature) == (1, 0xFFFF), "not a DIALOGEX"
    _, _, style, count = struct.unpack_from("<IIIH", data, 4)
    offset = 4 + 14 + 8
    _, offset = sz_or_ordinal(data, offset)          # menu
    _, offset = sz_or_ordinal(data, offset)          # class
    caption, offset = sz(data, offset)
    if style & 0x40:                                  # DS_SETFONT
        size, weight, italic, charset = struct.unpack_from("<HHBB", data, offset)
        face, offset = sz(data, offset + 6)
        print(f"font\t{size}\t{face}\t{caption}")
    for _ in range(count):
        offset = (offset + 3) & ~3
        control_id = struct.unpack_from("<i", data, offset + 20)[0]
        kind, offset = sz_or_ordinal(data, offset + 24)
        text, offset = sz_or_ordinal(data, offset)
        (extra,) = struct.unpack_from("<H", data, offset)
        offset += 2 + extra
        kind = CLASSES.get(kind, kind) if isinstance(kind, int) else kind.lower()
        text = f"#{text}" if isinstance(text, int) else text.replace("\n", "\\n")
        print(f"{control_id}\t{kind}\t{text}")


def bitmap(path):
    size, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", open(path, "rb").read(), 0)
    assert size == 40, "not a BITMAPINFOHEADER"
    form = {0: "", 1: " RLE8", 2: " RLE4"}.get(compression, f" compression {compression}")
    print(f"{width}x{height}@{bits}{form}")


def pixels(data):
    """A DIB's pixels as rows of RGB triples, top row first: 24 bits, or 8
    bits with a palette, plain or RLE8 (whose codes must fill each row and
    end with the end of the bitmap, else ValueError)."""
    size, width, height, _, bits, compression, _, _, _, used = struct.unpack_from(
        "<IiiHHIIiiI", data, 0)
    colours = used or (1 << bits if bits <= 8 else 0)
    palette = [(data[size + 4 * i + 2], data[size + 4 * i + 1], data[size + 4 * i])
               for i in range(colours)]
    at = size + 4 * colours
    if (bits, compression) == (24, 0):
        stride = (3 * width + 3) // 4 * 4
        rows = [[(data[at + y * stride + 3 * x + 2], data[at + y * stride + 3 * x + 1],
                  data[at + y * stride + 3 * x]) for x in range(width)] for y in range(height)]
    elif (bits, compression) == (8, 0):
        stride = (width + 3) // 4 * 4
        rows = [[palette[data[at + y * stride + x]] for x in range(width)] for y in range(height)]
    elif (bits, compression) == (8, 1):
        rows, row = [], []
        while True:
            count, value = data[at], data[at + 1]
            at += 2
            if count:
                row += [palette[value]] * count
            elif value == 0 or value == 1:
                if len(row) != width:
                    raise ValueError(f"row {len(rows)}: {len(row)} pixels of {width}")
                rows.append(row)
                row = []
                if value == 1:
                    break
            elif value >= 3:
                row += [palette[i] for i in data[at:at + value]]
                at += value + value % 2
            else:
                raise ValueError("a delta code")
        if len(rows) != height:
            raise ValueError(f"{len(rows)} rows of {height}")
    else:
        raise ValueError(f"{bits} bits, compression {compression}")
    return rows[::-1]


def likeness(large_path, small_path):
    """How far LARGE, averaged over 2x2 blocks, lies from SMALL: the mean
    difference of a channel over all pixels, to a tenth."""
    large, small = pixels(open(large_path, "rb").read()), pixels(open(small_path, "rb").read())
    assert len(large) == 2 * len(small) and len(large[0]) == 2 * len(small[0]), "not twice the size"
    total = 0
    for y, row in enumerate(small):
        for x, p in enumerate(row):
            block = (large[2 * y][2 * x], large[2 * y][2 * x + 1],
                     large[2 * y + 1][2 * x], large[2 * y + 1][2 * x + 1])
            total += sum(abs(sum(b[a] for b in block) / 4 - p[a]) for a in range(3))
    print(f"{total / (3 * len(small) * len(small[0])):.1f}")


RT_BITMAP, RT_ICON, RT_GROUP_ICON = 2, 3, 14


def pe_resources(path):
    """Every resource of a PE file as (type, name, language, data size);
    type, name and language are numbers, or strings for named entries."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 8 * 2)
    if not resource_size:
        return []

    def offset_of(rva):
        table = optional + optional_size
        for i in range(sections):
            size, address, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section")

    root = offset_of(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, root + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, root + directory + 16 + 8 * i)
            if name & 0x80000000:
                (length,) = struct.unpack_from("<H", data, root + (name & 0x7FFFFFFF))
                start = root + (name & 0x7FFFFFFF) + 2
                name = data[start:start + 2 * length].decode("utf-16-le")
            yield name, target

    found = []
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                _, size = struct.unpack_from("<II", data, root + leaf)
                found.append((kind, name, language, size))
    return found


def images(paths):
    for path in paths:
        print(sum(size for kind, _, _, size in pe_resources(path)
                  if kind in (RT_BITMAP, RT_ICON, RT_GROUP_ICON)))


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    {"strings": strings, "dialog": lambda a: dialog(a[0]), "bitmap": lambda a: bitmap(a[0]),
     "images": images, "likeness": lambda a: likeness(a[0], a[1])}[command](args)
