#!/usr/bin/env python3
"""Draw the wizard's pictures: a USB stick leaving its port under an eject sign.

Usage: make_bitmaps.py OUTPUT_DIR

Writes header.bmp (132, 575x58, the strip above the inner pages),
watermark.bmp (133, 579x295, behind the welcome and finish pages: the picture
in its left part, calm where the texts go), about.bmp (147, 404x59, the About
box's banner), all 24 bits per pixel, and wizard.ico (icon group 128, the
design of Ejectra's default icon), plus bitmaps.rc naming them. Each picture
is drawn a second time at twice the size for screens of 192 DPI (232, 233,
247: header-2x.bmp, watermark-2x.bmp, about-2x.bmp), from the same shapes,
not enlarged from the first, and stored with a 256-colour palette, RLE8
compressed (palette_bmp.py). Only the Python standard library is used and
the output is byte-for-byte reproducible.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "windowless", "icons"))
import make_icons  # noqa: E402  (the icon art and its .ico writer)
import palette_bmp  # noqa: E402  (the 192-DPI drawings' form)
from make_icons import Shape, circle, coverage, line, polygon, ring, rrect  # noqa: E402  (the shapes)


# --------------------------------------------------------------------------
# Raster: an opaque RGB canvas in pixels; shapes are drawn in design units
# placed on it by a rotation, a scale and an offset.
# --------------------------------------------------------------------------
class Canvas:
    def __init__(self, width, height, paint):
        self.w, self.h = width, height
        self.px = [list(paint(x + 0.5, y + 0.5)) for y in range(height) for x in range(width)]
        self.place()

    def place(self, angle=0.0, scale=1.0, dx=0.0, dy=0.0):
        """Design point p lands on pixel scale * R(angle) p + (dx, dy)."""
        a = math.radians(angle)
        self.xf = (math.cos(a) * scale, math.sin(a) * scale, dx, dy)

    def to_design(self, x, y):
        c, s, dx, dy = self.xf
        k = c * c + s * s
        x, y = x - dx, y - dy
        return (c * x + s * y) / k, (-s * x + c * y) / k

    def to_pixel(self, x, y):
        c, s, dx, dy = self.xf
        return c * x - s * y + dx, s * x + c * y + dy

    def fill(self, shape, paint, alpha=1.0, soft=0.0):
        """Composite `shape`; `soft` (design units) blurs its edge for glows and shadows."""
        c, s, _, _ = self.xf
        u = 1.0 / math.hypot(c, s)  # design units per pixel
        x0, y0, x1, y1 = shape.bbox
        m = soft + 2 * u
        corners = [self.to_pixel(x, y) for x in (x0 - m, x1 + m) for y in (y0 - m, y1 + m)]
        px0 = max(0, int(min(p[0] for p in corners)))
        px1 = min(self.w, int(math.ceil(max(p[0] for p in corners))))
        py0 = max(0, int(min(p[1] for p in corners)))
        py1 = min(self.h, int(math.ceil(max(p[1] for p in corners))))
        f, local = shape.f, self.to_design
        for py in range(py0, py1):
            row = py * self.w
            for px in range(px0, px1):
                cov, x, y = coverage(f, local, px, py, 1.0, u, soft)
                if cov <= 0.0:
                    continue
                col = paint(x, y) if callable(paint) else paint
                a, p = alpha * cov, self.px[row + px]
                p[0] += (col[0] - p[0]) * a
                p[1] += (col[1] - p[1]) * a
                p[2] += (col[2] - p[2]) * a

    def rgb(self):
        """The pixels as RGB triples of 0..255, row by row from the top."""
        return [tuple(min(255, max(0, round(v))) for v in p) for p in self.px]

    def bmp(self):
        """A 24-bit BI_RGB Windows bitmap file, bottom row first."""
        pad = b"\0" * (-3 * self.w % 4)
        pixels, rows = self.rgb(), []
        for y in reversed(range(self.h)):
            line = pixels[y * self.w:(y + 1) * self.w]
            rows.append(bytes(v for p in line for v in (p[2], p[1], p[0])) + pad)
        data = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
        head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
        return head + info + data


def mix(c0, c1, t):
    t = min(1.0, max(0.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def linear(c0, c1, ax, ay, bx, by):
    """Paint: c0 at (ax, ay) to c1 at (bx, by), flat beyond."""
    dx, dy = bx - ax, by - ay
    k = dx * dx + dy * dy
    return lambda x, y: mix(c0, c1, ((x - ax) * dx + (y - ay) * dy) / k)


# --------------------------------------------------------------------------
# Shapes: signed distance functions (negative inside) with a bounding box.
# --------------------------------------------------------------------------
def ellipse(cx, cy, rx, ry):
    """Approximately: the distance in the circle the ellipse is squashed from."""
    k = min(rx, ry)
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def arc(cx, cy, r, a0, a1, w):
    """A stroke of width w along the circle, from angle a0 to a1 (degrees,
    clockwise on screen, 0 = right), with round caps."""
    b0, b1 = math.radians(a0), math.radians(a1)
    ends = [(cx + r * math.cos(b), cy + r * math.sin(b)) for b in (b0, b1)]
    span = b1 - b0 if 0 < b1 - b0 <= 2 * math.pi else (b1 - b0) % (2 * math.pi)

    def f(x, y):
        if (math.atan2(y - cy, x - cx) - b0) % (2 * math.pi) <= span:
            d = abs(math.hypot(x - cx, y - cy) - r)
        else:
            d = min(math.hypot(x - ex, y - ey) for ex, ey in ends)
        return d - w / 2
    m = r + w
    return Shape(f, (cx - m, cy - m, cx + m, cy + m))


def union(*shapes):
    return Shape(lambda x, y: min(s.f(x, y) for s in shapes),
                 (min(s.bbox[0] for s in shapes), min(s.bbox[1] for s in shapes),
                  max(s.bbox[2] for s in shapes), max(s.bbox[3] for s in shapes)))


def clip(a, b):
    return Shape(lambda x, y: max(a.f(x, y), b.f(x, y)), a.bbox)


# --------------------------------------------------------------------------
# Colours.
# --------------------------------------------------------------------------
WHITE, BLACK = (255.0, 255.0, 255.0), (0.0, 0.0, 0.0)
NAVY = (18.0, 52.0, 112.0)
BLUE = (47.0, 126.0, 230.0)
SKY = (120.0, 178.0, 246.0)
PALE = (232.0, 241.0, 252.0)
STICK = ((112.0, 176.0, 255.0), (30.0, 96.0, 200.0), (14.0, 46.0, 104.0))  # light, dark, rim
METAL = ((240.0, 243.0, 247.0), (160.0, 168.0, 180.0), (96.0, 104.0, 116.0))
SLAB = ((226.0, 231.0, 238.0), (168.0, 177.0, 190.0), (110.0, 119.0, 132.0))
PORT = (28.0, 33.0, 42.0)
LED = (110.0, 240.0, 130.0)


# --------------------------------------------------------------------------
# The scene, in a 100 x 200 design frame, "up" being the way out of the
# port: the eject sign (y 4..40), the stick (46..134), the trail it leaves
# (140..158) and the machine's side with its port (164..200 and beyond).
# --------------------------------------------------------------------------
def eject_sign(c):
    """A white disc with a soft shadow and the blue glyph, centred on (50, 22)."""
    c.fill(circle(50, 23, 19), NAVY, alpha=0.35, soft=7)
    c.fill(circle(50, 22, 18), WHITE)
    glyph = linear(SKY, BLUE, 0, 10, 0, 33)
    c.fill(polygon([(50, 10.5), (62, 23.5), (38, 23.5)], r=1.2), glyph)
    c.fill(rrect(37.5, 27, 62.5, 32.5, 1.5), glyph)


def scene(c, detail=True, within=None, trail=WHITE):
    # The eject sign stays upright however the rest is turned.
    turned = c.xf
    sx, sy = c.to_pixel(50, 22)
    scale = math.hypot(turned[0], turned[1])
    c.place(scale=scale, dx=sx - 50 * scale, dy=sy - 22 * scale)
    eject_sign(c)
    c.xf = turned

    # The stick, lifted clear of the port.
    c.fill(rrect(31, 52, 69, 116, 8), NAVY, alpha=0.35, soft=9)
    plug = rrect(37, 108, 63, 134, 1.5)
    c.fill(plug, METAL[2])
    c.fill(rrect(38, 108, 62, 133, 1), linear(METAL[0], METAL[1], 38, 0, 62, 0))
    for x in (42, 53):
        c.fill(rrect(x, 117, x + 5, 122, 0.6), METAL[2])
    shell = rrect(32, 48, 68, 112, 8)
    c.fill(shell, STICK[2])
    c.fill(rrect(33, 49, 67, 111, 7), linear(STICK[0], STICK[1], 33, 49, 67, 111))
    c.fill(rrect(36, 62, 40, 104, 2), WHITE, alpha=0.30)
    c.fill(rrect(33, 95, 67, 97), STICK[2], alpha=0.35)
    c.fill(ring(50, 57, 4.2, 2.2), STICK[2], alpha=0.55)
    if detail:
        c.fill(circle(60, 104, 2.2), LED, alpha=0.4, soft=3)
        c.fill(circle(60, 104, 1.3), LED)

    # The trail: three strokes fading towards the port.
    for x in (41, 50, 59):
        c.fill(line([(x, 141), (x, 156)], 3), trail, alpha=0.55)
        c.fill(line([(x, 141), (x, 146)], 3), trail, alpha=0.35)

    # The machine's side and its port, with the port's blue tongue.
    def cut(shape):
        return clip(shape, within) if within else shape
    c.fill(cut(rrect(4, 161, 96, 250, 7)), NAVY, alpha=0.4, soft=8)
    c.fill(cut(rrect(6, 163, 94, 250, 6)), SLAB[2])
    c.fill(cut(rrect(7, 164, 93, 250, 5)), linear(SLAB[0], SLAB[1], 0, 164, 0, 210))
    c.fill(cut(rrect(7, 164, 93, 166.5, 1.2)), WHITE, alpha=0.7)
    c.fill(rrect(33, 171, 67, 183, 1.5), SLAB[2])
    c.fill(rrect(34.5, 172, 65.5, 182, 1), PORT)
    c.fill(rrect(38, 172, 62, 176.5, 0.6), linear(SKY, BLUE, 0, 172, 0, 176.5))
    if detail:
        c.fill(rrect(40, 179, 48, 180.2), WHITE, alpha=0.18)


def bokeh(c, spots):
    for x, y, r, a in spots:
        c.fill(circle(x, y, r), WHITE, alpha=a, soft=r * 0.5)


# --------------------------------------------------------------------------
# The wordmark "Ejectra": strokes on a cap height of 30 design units.
# --------------------------------------------------------------------------
def wordmark(c, paint, w=4.6):
    H, X = 30.0, 21.0        # cap height and x-height above the baseline at y = 0
    r = X / 2
    strokes = []
    x = 0.0
    # E
    strokes += [line([(x + 16, -H), (x, -H), (x, 0), (x + 16, 0)], w),
                line([(x, -H / 2), (x + 13, -H / 2)], w)]
    x += 16 + 10
    # j: a stem under the x-height that hooks left below the baseline, and a dot.
    strokes += [line([(x + 4, -X), (x + 4, 4)], w), arc(x - 2, 4, 6, 0, 120, w),
                circle(x + 4, -X - 7.5, w * 0.62)]
    x += 4 + 10
    # e: a bowl open at the lower right, with its bar.
    strokes += [arc(x + r, -r, r, 35, 360, w), line([(x, -r), (x + 2 * r, -r)], w)]
    x += 2 * r + 8
    # c
    strokes += [arc(x + r, -r, r, 45, 315, w)]
    x += 2 * r + 6
    # t: the stem rises above the x-height and turns right at the foot.
    strokes += [line([(x + 4, -H + 2), (x + 4, -5)], w), arc(x + 9, -5, 5, 90, 180, w),
                line([(x, -X), (x + 12, -X)], w)]
    x += 12 + 6
    # r
    strokes += [line([(x, -X), (x, 0)], w), arc(x + r, -X + r, r, 180, 300, w)]
    x += r + 9
    # a: a round bowl and the stem on its right.
    strokes += [arc(x + r, -r, r, 0, 360, w), line([(x + 2 * r, -X), (x + 2 * r, 0)], w)]
    for s in strokes:
        c.fill(s, paint)
    return x + 2 * r  # the width


# --------------------------------------------------------------------------
# The three pictures.
# --------------------------------------------------------------------------
# Each picture takes `k`, its size in pixels per pixel of the 96-DPI
# drawing (1, or 2 for 192 DPI); the design is placed k times as large.

def watermark(k=1):
    """579x295 behind the exterior pages: white where the texts go, the picture
    on a blue card within the left 164 pixels (all that a narrow frame
    shows). The edges stay white: a frame may fill below a short watermark
    with the colour of pixel (0, 0), or show its left edge beside a page."""
    c = Canvas(579 * k, 295 * k, lambda x, y: WHITE)
    c.place(scale=1.25 * k, dx=(86 - 50 * 1.25) * k, dy=(295 - 196 * 1.25) * k)
    card = rrect(-4.4, -32, 104.4, 188.8, 10)  # pixels 18..154 by 10..286

    def sky(x, y):
        col = mix((84, 150, 232), NAVY, ((y + 32) / 221) ** 1.3)
        glow = max(0.0, 1 - math.hypot((x - 50) / 80, (y - 70) / 110))
        return mix(col, SKY, 0.4 * glow)
    c.fill(rrect(-4.4, -30, 104.4, 191, 10), NAVY, alpha=0.30, soft=7)
    c.fill(card, sky)
    for x, y, r, a in [(6, -12, 16, 0.12), (92, -20, 11, 0.10), (96, 70, 20, 0.07),
                       (0, 112, 13, 0.08), (88, 150, 9, 0.06)]:
        c.fill(clip(circle(x, y, r), card), WHITE, alpha=a)
    scene(c, within=card)
    return c


# The machine's side cut down to a short bar around the port, for the
# pictures too low to hold the whole of it.
PORT_BAR = rrect(21, 150, 79, 190, 6)


def header(k=1):
    """575x58 above the inner pages: white under the titles at the left and
    at both ends, the picture in a soft glow towards the right."""
    def ground(x, y):
        glow = max(0.0, 1 - math.hypot((x / k - 470) / 150, (y / k - 29) / 70))
        return mix(WHITE, (212, 229, 251), glow ** 1.5)
    c = Canvas(575 * k, 58 * k, ground)
    c.place(scale=k)
    bokeh(c, [(520, 12, 14, 0.35), (372, 44, 10, 0.35)])
    # Turned a quarter left, the scene runs from the port at the right to
    # the eject sign.
    c.place(angle=-90, scale=0.8 * k, dx=(551 - 190 * 0.8) * k, dy=(29 + 50 * 0.8) * k)
    scene(c, detail=False, within=PORT_BAR, trail=SKY)
    return c


def about(k=1):
    """404x59 across the top of the About box: the scene on its side, coming
    out of its port at the left, and the wordmark."""
    def ground(x, y):
        return mix(mix(NAVY, BLUE, x / (404 * k)), SKY, 0.15 * (1 - y / (59 * k)))
    c = Canvas(404 * k, 59 * k, ground)
    c.place(scale=k)
    bokeh(c, [(380, 8, 20, 0.08), (300, 52, 14, 0.06), (130, 6, 10, 0.06)])
    # Turned a quarter right, the scene runs from the port at the left to
    # the eject sign.
    c.place(angle=90, scale=0.8 * k, dx=(10 + 190 * 0.8) * k, dy=(29.5 - 50 * 0.8) * k)
    scene(c, detail=False, within=PORT_BAR)
    c.place(scale=1.15 * k, dx=180 * k, dy=46 * k)
    wordmark(c, WHITE)
    return c


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: make_bitmaps.py OUTPUT_DIR")
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in (("header", header), ("watermark", watermark), ("about", about)):
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(draw(1).bmp())
        large = draw(2)
        with open(os.path.join(out, name + "-2x.bmp"), "wb") as f:
            f.write(palette_bmp.bmp(large.w, large.h, large.rgb()))
    art = {size: make_icons.render(107, size) for size in make_icons.SIZES}
    images = [(size, bits, make_icons.dib(art[size], size, bits))
              for bits in (8, 32) for size in make_icons.SIZES]
    with open(os.path.join(out, "wizard.ico"), "wb") as f:
        f.write(make_icons.ico(images))
    with open(os.path.join(out, "bitmaps.rc"), "w", newline="\n") as f:
        f.write('128 ICON "wizard.ico"\n'
                '132 BITMAP "header.bmp"\n'
                '133 BITMAP "watermark.bmp"\n'
                '147 BITMAP "about.bmp"\n'
                '232 BITMAP "header-2x.bmp"\n'
                '233 BITMAP "watermark-2x.bmp"\n'
                '247 BITMAP "about-2x.bmp"\n')


if __name__ == "__main__":
    main(sys.argv)
