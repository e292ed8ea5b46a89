#!/usr/bin/env python3
"""Generate the "safely remove this drive" icon set for the windowless programs.

Usage: make_icons.py OUTPUT_DIR

Writes 39 Windows icons, icon_107.ico and icon_129.ico ... icon_166.ico, plus
icons.rc with one `ID ICON "icon_ID.ico"` line per icon.  Every .ico holds six
images: 16, 32 and 48 pixels in 8-bit palettised colour, then the same sizes in
32-bit BGRA.  All art is drawn here by a small antialiasing rasteriser (signed
distance shapes, 4x4 supersampling); only the Python standard library is used
and the output is byte-for-byte reproducible.
"""
import contextlib
import math
import os
import struct
import sys

# --------------------------------------------------------------------------
# Raster: a premultiplied RGBA canvas drawn in a 48x48 design space.
# --------------------------------------------------------------------------
SS = 4          # supersampling per axis
DESIGN = 48.0   # all shapes are given in 0..48 design units


def coverage(f, local, px, py, step, u, soft=0.0, grow=0.0):
    """How much of pixel (px, py) the shape with distance `f`, grown by `grow`,
    covers, and the pixel's centre in design units: (coverage, x, y).

    Pixel (px, py) spans canvas coordinates px * step to (px + 1) * step;
    `local` maps canvas coordinates to design units, `u` design units per
    pixel. The distance at the centre settles pixels well inside or outside;
    the others are supersampled, or with `soft` (design units) blurred.
    """
    x, y = local((px + 0.5) * step, (py + 0.5) * step)
    d = f(x, y) - grow
    if soft:
        return min(1.0, max(0.0, 0.5 - d / soft)), x, y
    if d <= -u:
        return 1.0, x, y
    if d >= u:
        return 0.0, x, y
    offs = [(i + 0.5) * step / SS for i in range(SS)]
    hits = sum(1 for oy in offs for ox in offs if f(*local(px * step + ox, py * step + oy)) <= grow)
    return hits / (SS * SS), x, y


class Canvas:
    def __init__(self, size):
        self.size = size
        self.u = DESIGN / size              # design units per pixel
        self.detail = size >= 32            # small details are dropped at 16
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
        self.xf = (1.0, 0.0, 0.0, 0.0)      # rotation (cos, sin), then offset

    @contextlib.contextmanager
    def placed(self, angle=0.0, dx=0.0, dy=0.0):
        """Draw in a frame rotated by `angle` degrees about (24,24), then moved."""
        old, a = self.xf, math.radians(angle)
        self.xf = (math.cos(a), math.sin(a), dx, dy)
        yield
        self.xf = old

    def to_local(self, x, y):
        c, s, dx, dy = self.xf
        x, y = x - dx - 24.0, y - dy - 24.0
        return 24.0 + c * x + s * y, 24.0 - s * x + c * y

    def to_canvas(self, x, y):
        c, s, dx, dy = self.xf
        x, y = x - 24.0, y - 24.0
        return 24.0 + c * x - s * y + dx, 24.0 + s * x + c * y + dy

    def fill(self, shape, paint, alpha=1.0, grow=0.0, soft=0.0):
        """Composite `shape` (grown by `grow` units) with a colour or gradient."""
        u, n = self.u, self.size
        x0, y0, x1, y1 = shape.bbox
        m = grow + soft + u
        corners = [self.to_canvas(x, y) for x in (x0 - m, x1 + m) for y in (y0 - m, y1 + m)]
        px0 = max(0, int(min(p[0] for p in corners) / u))
        px1 = min(n, int(math.ceil(max(p[0] for p in corners) / u)))
        py0 = max(0, int(min(p[1] for p in corners) / u))
        py1 = min(n, int(math.ceil(max(p[1] for p in corners) / u)))
        f, local = shape.f, self.to_local
        for py in range(py0, py1):
            for px in range(px0, px1):
                cov, x, y = coverage(f, local, px, py, u, u, soft, grow)
                if cov <= 0.0:
                    continue
                col = paint(x, y) if callable(paint) else paint
                a, p = alpha * cov, self.px[py * n + px]
                p[0] = p[0] * (1 - a) + col[0] * a
                p[1] = p[1] * (1 - a) + col[1] * a
                p[2] = p[2] * (1 - a) + col[2] * a
                p[3] = p[3] * (1 - a) + a

    def rgba(self):
        """Straight-alpha 8-bit (r, g, b, a) tuples, top row first."""
        out = []
        for r, g, b, a in self.px:
            ai = round(a * 255)
            if ai == 0:
                out.append((0, 0, 0, 0))
            else:
                out.append((min(255, round(r / a)), min(255, round(g / a)),
                            min(255, round(b / a)), ai))
        return out


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


class Linear:
    """Linear gradient paint from colour c0 at (ax,ay) to c1 at (bx,by)."""
    def __init__(self, c0, c1, ax, ay, bx, by):
        self.c0, self.c1, self.a = c0, c1, (ax, ay)
        dx, dy = bx - ax, by - ay
        k = dx * dx + dy * dy
        self.d = (dx / k, dy / k)

    def __call__(self, x, y):
        t = (x - self.a[0]) * self.d[0] + (y - self.a[1]) * self.d[1]
        return mix(self.c0, self.c1, min(1.0, max(0.0, t)))


# --------------------------------------------------------------------------
# Shapes: signed distance functions (negative inside) with a bounding box.
# --------------------------------------------------------------------------
class Shape:
    def __init__(self, f, bbox):
        self.f, self.bbox = f, bbox


def rrect(x0, y0, x1, y1, r=0.0):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return Shape(f, (x0, y0, x1, y1))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r_out, r_in):
    mid, half = (r_out + r_in) / 2, (r_out - r_in) / 2
    return Shape(lambda x, y: abs(math.hypot(x - cx, y - cy) - mid) - half,
                 (cx - r_out, cy - r_out, cx + r_out, cy + r_out))


def line(pts, w):
    """A thick polyline with round caps and joins."""
    segs = list(zip(pts, pts[1:]))

    def f(x, y):
        best = 1e9
        for (ax, ay), (bx, by) in segs:
            ex, ey, wx, wy = bx - ax, by - ay, x - ax, y - ay
            t = min(1.0, max(0.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
        return best - w / 2
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(f, (min(xs) - w, min(ys) - w, max(xs) + w, max(ys) + w))


def polygon(pts, r=0.0):
    """A polygon whose corners are rounded by growing it `r` units outwards."""
    n = len(pts)

    def f(x, y):
        d, s = 1e18, 1.0
        for i in range(n):
            (ax, ay), (bx, by) = pts[i], pts[i - 1]
            ex, ey, wx, wy = bx - ax, by - ay, x - ax, y - ay
            t = min(1.0, max(0.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            d = min(d, (wx - ex * t) ** 2 + (wy - ey * t) ** 2)
            c1, c2, c3 = y >= ay, y < by, ex * wy > ey * wx
            if (c1 and c2 and c3) or not (c1 or c2 or c3):
                s = -s
        return s * math.sqrt(d) - r
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(f, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r))


def clip(a, b):
    """Intersection of two shapes."""
    return Shape(lambda x, y: max(a.f(x, y), b.f(x, y)), a.bbox)


def minus(a, b):
    """Shape a with shape b cut out of it."""
    return Shape(lambda x, y: max(a.f(x, y), -b.f(x, y)), a.bbox)


# --------------------------------------------------------------------------
# Colours and drawing helpers.
# --------------------------------------------------------------------------
WHITE, BLACK = (255.0, 255.0, 255.0), (0.0, 0.0, 0.0)
METAL = ((236, 239, 243), (160, 167, 177), (92, 98, 108))
GLASS = ((58, 78, 104), (20, 26, 36))
LED = (90, 230, 110)


def hexrgb(h):
    return tuple(float(int(h[i:i + 2], 16)) for i in (0, 2, 4))


class Scheme:
    def __init__(self, base):
        self.base = hexrgb(base)
        self.light = mix(self.base, WHITE, 0.38)
        self.dark = mix(self.base, BLACK, 0.28)
        self.line = mix(self.base, BLACK, 0.6)


SCHEMES = {name: Scheme(h) for name, h in {
    "blue": "2f7ee6", "green": "36a852", "red": "dc3b34", "orange": "f28a1e",
    "purple": "8c52cc", "teal": "17a6a6", "grey": "9aa1ab", "black": "3c424c",
    "pink": "ea5a9f", "yellow": "f4c51c", "navy": "1f4fa8", "amber": "f39a12",
}.items()}


def body(c, shape, s, ax=0, ay=0, bx=0, by=48):
    """An outlined solid: 1-pixel dark rim, gradient fill light to dark."""
    c.fill(shape, s.line)
    c.fill(shape, Linear(s.light, s.dark, ax, ay, bx, by), grow=-c.u)


def metal(c, shape, ax, ay, bx, by):
    c.fill(shape, METAL[2])
    c.fill(shape, Linear(METAL[0], METAL[1], ax, ay, bx, by), grow=-c.u)


# --------------------------------------------------------------------------
# Devices: each draws into the 48-unit square, leaving the lower right corner
# free enough for a badge.  Small details are only drawn at 32 and 48 pixels.
# --------------------------------------------------------------------------
def usb_stick(c, s, diagonal):
    with c.placed(45 if diagonal else 0, 0 if diagonal else -6, 0):
        plug = rrect(17.5, 1, 30.5, 14, 1)
        metal(c, plug, 17.5, 0, 30.5, 0)
        if c.detail:
            for x in (20.5, 25):
                c.fill(rrect(x, 4.5, x + 2.5, 7.5, 0.4), METAL[2])
        shell = rrect(13.5, 12, 34.5, 47, 5)
        body(c, shell, s, 13.5, 0, 34.5, 0)
        c.fill(rrect(13.5, 18, 34.5, 19.5), s.line, alpha=0.35, grow=-c.u)
        if c.detail:
            c.fill(rrect(16.5, 21, 19.5, 43, 1.5), WHITE, alpha=0.35)
            c.fill(ring(24, 42, 2.4, 1.2), s.line, alpha=0.6)
        if c.size >= 48:
            c.fill(circle(29, 15.2, 1.1), LED)


def sd_card(c, s):
    card = polygon([(11, 4), (27, 4), (35, 12), (35, 44), (11, 44)], r=2)
    body(c, card, s, 0, 2, 0, 46)
    ridges = (13, 17, 21, 25) if c.detail else (13, 19.5)
    for x in ridges:
        c.fill(rrect(x, 6, x + (2.4 if c.detail else 3.5), 13, 0.6), s.line, alpha=0.5)
    label = rrect(12.5, 18, 33.5, 42.5, 2)
    c.fill(label, WHITE, alpha=0.92)
    c.fill(clip(label, rrect(12.5, 18, 33.5, 24)), s.dark, alpha=0.85)
    if c.detail:
        for y in (28, 32, 36):
            c.fill(line([(16, y), (26, y)], 1.4), s.line, alpha=0.35)


def hard_disk(c, s):
    top = polygon([(9, 10), (39, 10), (43, 18), (5, 18)], r=2)
    front = rrect(3, 16, 45, 39, 3.5)
    c.fill(top, s.line)
    c.fill(top, Linear(mix(s.light, WHITE, 0.3), s.light, 0, 8, 0, 18), grow=-c.u)
    body(c, front, s, 0, 16, 0, 39)
    c.fill(line([(6, 22.5), (42, 22.5)], 1.5 if c.detail else 2.5), s.line, alpha=0.4)
    c.fill(circle(9.5, 32, 2.0 if c.detail else 2.8), LED)
    if c.detail:
        c.fill(circle(9.5, 32, 3.6), LED, alpha=0.35, soft=2.5)
        for x in (15, 18, 21):
            c.fill(line([(x, 28), (x, 35)], 1.3), s.line, alpha=0.4)


def card_reader(c, s):
    card_colour = SCHEMES["blue" if s is SCHEMES["black"] else "black"]
    card = polygon([(17, 5), (27, 5), (32, 10), (32, 34), (17, 34)], r=2)
    top = polygon([(8, 22), (40, 22), (44, 29), (4, 29)], r=2)
    c.fill(top, s.line)
    c.fill(top, Linear(mix(s.light, WHITE, 0.3), s.light, 0, 20, 0, 29), grow=-c.u)
    c.fill(rrect(11, 23.5, 37, 27.5, 1.5), s.line)
    above = clip(card, rrect(0, 0, 48, 25.5))
    body(c, above, card_colour, 15, 0, 34, 0)
    for x in ((19, 22.5, 26) if c.detail else (19.5, 25.5)):
        c.fill(rrect(x, 7, x + (2 if c.detail else 3), 13, 0.5), WHITE, alpha=0.45)
    c.fill(clip(card, rrect(17.5, 16, 31.5, 25.5, 1)), WHITE, alpha=0.85, grow=-c.u)
    body(c, rrect(3, 27, 45, 42, 3.5), s, 0, 27, 0, 42)
    c.fill(circle(9, 34.5, 2.0 if c.detail else 2.8), LED)
    if c.detail:
        c.fill(circle(9, 34.5, 3.6), LED, alpha=0.35, soft=2.5)


def disc(c, s):
    hole = circle(21, 21, 3)
    face = minus(circle(21, 21, 19.5), hole)
    body(c, face, s, 6, 6, 36, 36)
    for a0 in (200, 20):
        a, b = math.radians(a0), math.radians(a0 + 40)
        wedge = polygon([(21, 21), (21 + 30 * math.cos(a), 21 + 30 * math.sin(a)),
                         (21 + 30 * math.cos(b), 21 + 30 * math.sin(b))])
        c.fill(clip(face, wedge), WHITE, alpha=0.35, grow=-c.u)
    hub = minus(circle(21, 21, 7.5), hole)
    c.fill(hub, s.line, alpha=0.7)
    c.fill(hub, METAL[0], grow=-c.u)
    c.fill(ring(21, 21, 4.4, 3), METAL[2], alpha=0.8)
    if c.detail:
        c.fill(ring(21, 21, 12.5, 11.8), WHITE, alpha=0.25)


def phone(c, s):
    body(c, rrect(10, 2, 34, 46, 5.5), s, 10, 0, 34, 0)
    screen = rrect(12.5, 7, 31.5, 39, 1.5)
    c.fill(screen, Linear(GLASS[0], GLASS[1], 12, 7, 32, 39))
    c.fill(clip(screen, polygon([(12, 7), (31.5, 7), (12, 27)])), WHITE, alpha=0.14)
    if c.detail:
        c.fill(line([(19, 4.5), (25, 4.5)], 1.2), s.line, alpha=0.7)
        c.fill(rrect(18, 41.5, 26, 43.5, 1), s.line, alpha=0.5)
        for i in range(4):
            x, y = 15.5 + (i % 2) * 7, 11 + (i // 2) * 7
            c.fill(rrect(x, y, x + 5, y + 5, 1.3), s.light, alpha=0.8)


def camera(c, s):
    hump = polygon([(12, 8), (23, 8), (26, 14), (9, 14)], r=1.5)
    body(c, hump, s, 0, 6, 0, 14)
    if c.detail:
        metal(c, rrect(33, 9.5, 40, 14.5, 1.2), 0, 9, 0, 14)
    body(c, rrect(3, 13, 45, 40, 5), s, 0, 13, 0, 40)
    if c.detail:
        c.fill(rrect(3, 20, 45, 34), s.line, alpha=0.3, grow=-c.u)
    metal(c, circle(19, 27, 10.5 if c.detail else 11.5), 10, 18, 28, 36)
    c.fill(circle(19, 27, 7.5 if c.detail else 6.5), GLASS[1])
    c.fill(circle(19, 27, 5.2), Linear(GLASS[0], GLASS[1], 15, 23, 23, 31))
    c.fill(circle(16.8, 24.8, 1.8 if c.detail else 2.2), WHITE, alpha=0.7)
    if c.detail:
        c.fill(rrect(34, 17, 41, 21, 1), (255, 250, 225))


DEVICES = {
    "stick": lambda c, s: usb_stick(c, s, True),
    "stick-upright": lambda c, s: usb_stick(c, s, False),
    "sd": sd_card, "disk": hard_disk, "reader": card_reader,
    "disc": disc, "phone": phone, "camera": camera,
}


# --------------------------------------------------------------------------
# Badges: a white-rimmed coloured disc in the lower right with a white glyph.
# --------------------------------------------------------------------------
def badge(c, kind, s):
    cx = cy = 36.0 if c.detail else 34.5   # pixel-centred at 16
    r = 11.0 if c.detail else 12.0
    if c.detail:
        c.fill(circle(cx + 0.4, cy + 1.0, r + 1.5), BLACK, alpha=0.35, soft=2.5)
    c.fill(circle(cx, cy, r + max(1.5, c.u)), WHITE)
    disc_ = circle(cx, cy, r)
    c.fill(disc_, s.line)
    c.fill(disc_, Linear(s.light, s.dark, cx, cy - r, cx, cy + r), grow=-c.u)
    if c.size >= 48:
        c.fill(clip(disc_, circle(cx, cy - r * 0.9, r * 0.95)), WHITE, alpha=0.18)
    k = 0.62 * r if c.detail else 7.5       # glyph half-width
    if kind == "eject" and not c.detail:    # snapped to whole pixels
        c.fill(polygon([(cx, cy - 7.5), (cx + k, cy + 1.5), (cx - k, cy + 1.5)]), WHITE)
        c.fill(rrect(cx - k, cy + 4.5, cx + k, cy + 7.5), WHITE)
    elif kind == "eject":
        c.fill(polygon([(cx, cy - k - 0.4), (cx + k, cy + 0.12 * r), (cx - k, cy + 0.12 * r)]), WHITE)
        c.fill(rrect(cx - k, cy + 0.3 * r, cx + k, cy + 0.3 * r + 0.26 * r), WHITE)
    elif kind == "check":
        c.fill(line([(cx - 0.78 * k, cy + 0.02 * r), (cx - 0.2 * k, cy + 0.58 * k),
                     (cx + 0.85 * k, cy - 0.6 * k)], 0.26 * r), WHITE)
    elif kind == "out":
        w = 0.26 * r if c.detail else 3.0
        c.fill(rrect(cx - 0.85 * k, cy - w / 2, cx + 0.2 * k, cy + w / 2), WHITE)
        c.fill(polygon([(cx + 0.95 * k, cy), (cx + 0.15 * k, cy + 0.8 * k),
                        (cx + 0.15 * k, cy - 0.8 * k)]), WHITE)


# --------------------------------------------------------------------------
# Catalogue: icon ID -> (device, device colour, badge glyph, badge colour).
# --------------------------------------------------------------------------
CATALOGUE = {
    107: ("stick", "blue", "eject", "navy"),
    129: ("stick", "green", "eject", "navy"),
    130: ("stick", "red", "eject", "black"),
    131: ("stick", "orange", "eject", "blue"),
    132: ("stick", "purple", "check", "green"),
    133: ("stick", "teal", "out", "amber"),
    134: ("stick", "black", "eject", "red"),
    135: ("stick-upright", "grey", "eject", "blue"),
    136: ("stick-upright", "pink", "check", "green"),
    137: ("stick-upright", "yellow", "eject", "black"),
    138: ("stick-upright", "blue", "out", "amber"),
    139: ("sd", "blue", "eject", "navy"),
    140: ("sd", "black", "eject", "red"),
    141: ("sd", "red", "check", "green"),
    142: ("sd", "green", "out", "amber"),
    143: ("sd", "purple", "eject", "black"),
    144: ("disk", "grey", "eject", "blue"),
    145: ("disk", "black", "check", "green"),
    146: ("disk", "blue", "out", "amber"),
    147: ("disk", "red", "eject", "black"),
    148: ("disk", "teal", "eject", "red"),
    149: ("reader", "grey", "eject", "blue"),
    150: ("reader", "black", "check", "green"),
    151: ("reader", "orange", "out", "blue"),
    152: ("reader", "purple", "eject", "red"),
    153: ("disc", "blue", "eject", "navy"),
    154: ("disc", "red", "check", "green"),
    155: ("disc", "green", "eject", "black"),
    156: ("disc", "yellow", "out", "blue"),
    157: ("phone", "black", "eject", "blue"),
    158: ("phone", "blue", "check", "green"),
    159: ("phone", "pink", "out", "amber"),
    160: ("phone", "teal", "eject", "red"),
    161: ("camera", "black", "eject", "blue"),
    162: ("camera", "grey", "check", "green"),
    163: ("camera", "red", "out", "amber"),
    164: ("stick", "yellow", "check", "green"),
    165: ("stick-upright", "green", "eject", "red"),
    166: ("camera", "blue", "eject", "black"),
}


assert sorted(CATALOGUE) == [107] + list(range(129, 167))
assert len(set(CATALOGUE.values())) == len(CATALOGUE), "designs must be distinct"


def render(icon_id, size):
    device, colour, glyph, badge_colour = CATALOGUE[icon_id]
    c = Canvas(size)
    DEVICES[device](c, SCHEMES[colour])
    badge(c, glyph, SCHEMES[badge_colour])
    return c.rgba()


# --------------------------------------------------------------------------
# ICO writer: 8-bit palettised and 32-bit BGRA images, each with an AND mask.
# --------------------------------------------------------------------------
def build_palette():
    """A fixed 256-colour palette: greys, a 13-step ramp per scheme colour, the
    glass, LED and flash colours, then a 4x4x4 colour cube for anything else."""
    cols = [(v * 17,) * 3 for v in range(16)]          # black first: index 0
    for s in SCHEMES.values():
        stops = [s.line, s.dark, s.base, s.light, mix(s.light, WHITE, 0.6)]
        for i in range(13):
            j, t = divmod(i, 3)
            cols.append(mix(stops[j], stops[min(j + 1, 4)], t / 3))
    cols += [mix(GLASS[1], mix(GLASS[0], WHITE, 0.3), i / 7) for i in range(8)]
    cols += [mix(LED, BLACK, i / 4) for i in range(4)] + [(255, 250, 225)]
    cols += [(r * 85, g * 85, b * 85) for r in range(4) for g in range(4) for b in range(4)]
    palette = []
    for col in cols:
        col = tuple(round(v) for v in col)
        if col not in palette:
            palette.append(col)
    assert len(palette) <= 256, len(palette)
    return palette + [(0, 0, 0)] * (256 - len(palette))


PALETTE = build_palette()
_nearest_cache = {}


def nearest(r, g, b):
    """Index of the nearest palette colour (first one on ties)."""
    key = (r, g, b)
    if key not in _nearest_cache:
        dist = [(pr - r) ** 2 + (pg - g) ** 2 + (pb - b) ** 2 for pr, pg, pb in PALETTE]
        _nearest_cache[key] = dist.index(min(dist))
    return _nearest_cache[key]


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def dib(pixels, size, bits):
    rows = [pixels[y * size:(y + 1) * size] for y in reversed(range(size))]
    if bits == 8:
        xor = b"".join(pad4(bytes(nearest(*p[:3]) if p[3] >= 128 else 0 for p in row))
                       for row in rows)
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    else:
        xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in rows for p in row)
        palette = b""
    mask = b""
    for row in rows:
        bits_ = "".join("1" if p[3] < 128 else "0" for p in row)
        bits_ += "0" * (-len(bits_) % 8)
        mask += pad4(bytes(int(bits_[i:i + 8], 2) for i in range(0, len(bits_), 8)))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + palette + xor + mask


def ico(images):
    """images: list of (size, bits, dib bytes) in directory order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


SIZES = (16, 32, 48)


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: make_icons.py OUTPUT_DIR")
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    rc = []
    for icon_id in sorted(CATALOGUE):
        art = {size: render(icon_id, size) for size in SIZES}
        images = [(size, bits, dib(art[size], size, bits)) for bits in (8, 32) for size in SIZES]
        name = "icon_%d.ico" % icon_id
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(ico(images))
        rc.append('%d ICON "%s"\n' % (icon_id, name))
    with open(os.path.join(out_dir, "icons.rc"), "w", newline="\n") as f:
        f.write("".join(rc))


if __name__ == "__main__":
    main(sys.argv)
