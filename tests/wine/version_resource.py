#!/usr/bin/env python3
"""Prints a version resource (as `wrestool -x --raw -t 16` extracts it) as
lines: the fixed part's versions, then every string as PATH=VALUE and the
translations, so that a test can compare them with plain text."""
import struct
import sys


def align(offset):
    return (offset + 3) & ~3


def read_block(data, offset, path, out):
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_start = offset + 6
    key_end = data.index(b"\0\0", key_start)
    while (key_end - key_start) % 2:
        key_end = data.index(b"\0\0", key_end + 1)
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = align(key_end + 2)
    name = f"{path}\\{key}" if path else key
    if key == "VS_VERSION_INFO":
        fixed = struct.unpack_from("<13I", data, value_start)
        assert fixed[0] == 0xFEEF04BD, "no VS_FIXEDFILEINFO"
        version = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
        out.append(f"FixedFileVersion={version(fixed[2], fixed[3])}")
        out.append(f"FixedProductVersion={version(fixed[4], fixed[5])}")
        children = align(value_start + value_length)
    elif kind == 1 and value_length:  # text, counted in characters
        text = data[value_start:value_start + 2 * value_length].decode("utf-16-le")
        out.append(f"{name}={text.rstrip(chr(0))}")
        children = end
    elif value_length:  # binary: the translations
        words = struct.unpack_from(f"<{value_length // 2}H", data, value_start)
        pairs = [f"{words[i]:04x}/{words[i + 1]:04x}" for i in range(0, len(words), 2)]
        out.append(f"{name}={' '.join(pairs)}")
        children = end
    else:
        children = value_start
    while children < end:
        children = align(read_block(data, children, name, out))
    return end


lines = []
read_block(open(sys.argv[1], "rb").read(), 0, "", lines)
print("\n".join(lines))
