#!/usr/bin/env python3
"""Draws vellora's artwork and writes it to art/out/.

Every picture is described below as shapes (or, for the marble, as a
formula) and rasterised here with the standard library alone, so the output
is the same on every machine: only integer hashing, the four basic float
operations and the square root are used (no libm, whose results may differ
in the last bit), and files are written byte for byte.

  python3 art/make_art.py            write art/out/
  python3 art/make_art.py --check    compare art/out/ with a fresh drawing
  python3 art/make_art.py --cpp F    also write F, a C++ include that holds
                                     every output file as a byte array
"""

import argparse
import math
import os
import struct
import sys
import zlib

PI = 3.141592653589793


# ---------------------------------------------------------------- numbers

def sin(x):
    """Sine from a polynomial: libm may differ between machines."""
    k = int((x + PI) // (2 * PI))
    x -= k * 2 * PI
    if x > PI / 2:
        x = PI - x
    elif x < -PI / 2:
        x = -PI - x
    x2 = x * x
    term, total = x, x
    for n in range(1, 9):
        term *= -x2 / ((2 * n) * (2 * n + 1))
        total += term
    return total


def ipow(x, n):
    """x to a whole power by multiplication (pow() comes from libm)."""
    r = 1.0
    for _ in range(n):
        r *= x
    return r


def cos(x):
    return sin(x + PI / 2)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def to_byte(v):
    return int(clamp(v) * 255 + 0.5)


def hex_rgb(s):
    return tuple(int(s[i:i + 2], 16) for i in (1, 3, 5))


# ------------------------------------------------------------ rasteriser

class Canvas:
    """Premultiplied RGBA floats, 0..1."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [0.0] * (w * h * 4)

    def rgba_bytes(self):
        """Straight (not premultiplied) RGBA bytes, top row first."""
        out = bytearray()
        p = self.px
        for i in range(0, len(p), 4):
            a = p[i + 3]
            if a <= 0.0:
                out += b"\0\0\0\0"
            else:
                out += bytes((to_byte(p[i] / a), to_byte(p[i + 1] / a),
                              to_byte(p[i + 2] / a), to_byte(a)))
        return bytes(out)

    def set_pixel(self, x, y, rgb, a=1.0):
        i = (y * self.w + x) * 4
        self.px[i:i + 4] = [rgb[0] / 255 * a, rgb[1] / 255 * a, rgb[2] / 255 * a, a]


SUB_ROWS = 5  # vertical samples per pixel row; horizontal coverage is exact


def _oriented(points, hole):
    area = 0.0
    n = len(points)
    for i in range(n):
        x0, y0 = points[i]
        x1, y1 = points[(i + 1) % n]
        area += x0 * y1 - x1 * y0
    if (area < 0) != hole:
        return points[::-1]
    return points


def fill(canvas, subpaths, paint, opacity=1.0):
    """Fills subpaths [(points, hole)] in pixel coordinates, nonzero rule;
    holes are turned against the fills so they cut them out."""
    edges = []
    for points, hole in subpaths:
        pts = _oriented(points, hole)
        n = len(pts)
        for i in range(n):
            x0, y0 = pts[i]
            x1, y1 = pts[(i + 1) % n]
            if y0 == y1:
                continue
            d = 1
            if y0 > y1:
                x0, y0, x1, y1, d = x1, y1, x0, y0, -1
            edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), d))
    if not edges:
        return
    edges.sort()
    w = canvas.w
    ymin = max(0, int(edges[0][0]))
    ymax = min(canvas.h, int(max(e[1] for e in edges)) + 1)
    xs_all = [e[2] for e in edges] + [e[2] + e[3] * (e[1] - e[0]) for e in edges]
    cx0 = max(0, int(min(xs_all)))
    cx1 = min(w, int(max(xs_all)) + 2)
    nxt = 0
    active = []
    wgt = 1.0 / SUB_ROWS
    px = canvas.px
    for py in range(ymin, ymax):
        cov = [0.0] * (w + 1)
        for s in range(SUB_ROWS):
            sy = py + (s + 0.5) / SUB_ROWS
            while nxt < len(edges) and edges[nxt][0] <= sy:
                active.append(edges[nxt])
                nxt += 1
            active = [e for e in active if e[1] > sy]
            cross = sorted((e[2] + (sy - e[0]) * e[3], e[4]) for e in active if e[0] <= sy)
            wind = 0
            start = 0.0
            for x, d in cross:
                if wind == 0:
                    start = x
                wind += d
                if wind == 0:
                    _span(cov, start, x, wgt, w)
        for x in range(cx0, cx1):
            c = cov[x]
            if c <= 1e-9:
                continue
            if c > 1.0:
                c = 1.0
            r, g, b, a = paint(x + 0.5, py + 0.5) if callable(paint) else paint
            sa = a * c * opacity
            i = (py * w + x) * 4
            k = 1.0 - sa
            px[i] = px[i] * k + r * sa
            px[i + 1] = px[i + 1] * k + g * sa
            px[i + 2] = px[i + 2] * k + b * sa
            px[i + 3] = px[i + 3] * k + sa


def _span(cov, xa, xb, wgt, w):
    if xa < 0:
        xa = 0.0
    if xb > w:
        xb = float(w)
    if xb <= xa:
        return
    ia, ib = int(xa), int(xb)
    if ia == ib:
        cov[ia] += (xb - xa) * wgt
        return
    cov[ia] += (ia + 1 - xa) * wgt
    for i in range(ia + 1, ib):
        cov[i] += wgt
    cov[ib] += (xb - ib) * wgt


def colour(c, a=1.0):
    if isinstance(c, str):
        c = hex_rgb(c)
    return (c[0] / 255, c[1] / 255, c[2] / 255, a)


class Pen:
    """Draws on a canvas in design units (the canvas is `grid` units wide)."""

    def __init__(self, canvas, grid):
        self.c = canvas
        self.u = canvas.w / grid

    def _p(self, x, y):
        return (x * self.u, y * self.u)

    def _snap(self, v):
        return int(v * self.u + 0.5) / self.u

    # shapes: lists of (points in pixels, hole)
    def rect(self, x0, y0, x1, y1, hole=False, snap=True):
        if snap:
            x0, y0, x1, y1 = (self._snap(v) for v in (x0, y0, x1, y1))
        return [([self._p(x0, y0), self._p(x1, y0), self._p(x1, y1), self._p(x0, y1)], hole)]

    def _arc_points(self, cx, cy, rx, ry, a0, a1):
        n = max(4, int(abs(a1 - a0) * max(rx, ry) * self.u / 1.5) + 1)
        return [self._p(cx + rx * cos(a0 + (a1 - a0) * i / n), cy + ry * sin(a0 + (a1 - a0) * i / n))
                for i in range(n + 1)]

    def rrect(self, x0, y0, x1, y1, r, hole=False, snap=True):
        if snap:
            x0, y0, x1, y1 = (self._snap(v) for v in (x0, y0, x1, y1))
        pts = (self._arc_points(x1 - r, y0 + r, r, r, -PI / 2, 0)
               + self._arc_points(x1 - r, y1 - r, r, r, 0, PI / 2)
               + self._arc_points(x0 + r, y1 - r, r, r, PI / 2, PI)
               + self._arc_points(x0 + r, y0 + r, r, r, PI, 1.5 * PI))
        return [(pts, hole)]

    def ellipse(self, cx, cy, rx, ry=None, hole=False):
        ry = rx if ry is None else ry
        return [(self._arc_points(cx, cy, rx, ry, 0, 2 * PI)[:-1], hole)]

    def poly(self, points, hole=False):
        return [([self._p(x, y) for x, y in points], hole)]

    def curve(self, *segs):
        """Points of a path in design units: segs are (x, y) points or
        ('q', cx, cy, x, y) quadratic and ('c', c1x, c1y, c2x, c2y, x, y)
        cubic curves from the previous point."""
        pts = []
        for s in segs:
            if s[0] == 'q' or s[0] == 'c':
                x0, y0 = pts[-1]
                ctrl = [(x0, y0)] + [(s[i], s[i + 1]) for i in range(1, len(s), 2)]
                length = sum(abs(ctrl[i + 1][0] - ctrl[i][0]) + abs(ctrl[i + 1][1] - ctrl[i][1])
                             for i in range(len(ctrl) - 1))
                n = max(4, int(length * self.u / 2) + 1)
                for i in range(1, n + 1):
                    t = i / n
                    q = ctrl
                    while len(q) > 1:
                        q = [(a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t) for a, b in zip(q, q[1:])]
                    pts.append(q[0])
            else:
                pts.append(s)
        return pts

    def stroke(self, points, width, closed=False, cap='round'):
        """The outline of a polyline in design units as a union of pieces."""
        r = width / 2
        pts = list(points)
        if cap == 'square' and not closed:
            pts = [_extend(pts[1], pts[0], r)] + pts[1:-1] + [_extend(pts[-2], pts[-1], r)]
        segs = list(zip(pts, pts[1:] + ([pts[0]] if closed else [])))
        out = []
        for (x0, y0), (x1, y1) in segs:
            dx, dy = x1 - x0, y1 - y0
            ln = math.sqrt(dx * dx + dy * dy)
            if ln == 0:
                continue
            nx, ny = -dy / ln * r, dx / ln * r
            out += self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])
        joints = pts if closed else pts[1:-1]
        if cap == 'round' and not closed:
            joints = pts
        for x, y in joints:
            out += self.ellipse(x, y, r)
        return out

    def text(self, s, x, y, h, width):
        """Stroke-font capitals, h high, from the top-left corner x, y."""
        out = []
        for ch in s:
            lines, adv = GLYPHS[ch]
            for line in lines:
                if line[0] == 'dot':
                    out += self.ellipse(x + line[1] * h * 0.6, y + line[2] * h, width * 0.6)
                    continue
                out += self.stroke([(x + px * h * 0.6, y + py * h) for px, py in line], width, cap='square')
            x += adv * h * 0.6 + h * 0.28
        return out

    def fill(self, shape, paint, opacity=1.0):
        if isinstance(paint, (str, tuple)):
            paint = colour(paint)
        fill(self.c, shape, paint, opacity)

    def linear(self, x0, y0, c0, x1, y1, c1):
        """A paint that runs from c0 at (x0, y0) to c1 at (x1, y1)."""
        (x0, y0), (x1, y1) = self._p(x0, y0), self._p(x1, y1)
        a, b = colour(c0), colour(c1)
        dx, dy = x1 - x0, y1 - y0
        d2 = dx * dx + dy * dy

        def paint(x, y):
            t = clamp(((x - x0) * dx + (y - y0) * dy) / d2)
            return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))
        return paint


def _extend(a, b, r):
    dx, dy = b[0] - a[0], b[1] - a[1]
    ln = math.sqrt(dx * dx + dy * dy)
    return (b[0] + dx / ln * r, b[1] + dy / ln * r)


# A stroke font on a box 1 high; x runs 0..advance (in units of 0.6 h).
GLYPHS = {
    'H': ([[(0, 0), (0, 1)], [(1, 0), (1, 1)], [(0, 0.5), (1, 0.5)]], 1),
    'T': ([[(0, 0), (1.1, 0)], [(0.55, 0), (0.55, 1)]], 1.1),
    'M': ([[(0, 1), (0, 0), (0.65, 0.7), (1.3, 0), (1.3, 1)]], 1.3),
    'L': ([[(0, 0), (0, 1), (0.95, 1)]], 0.95),
    'A': ([[(0, 1), (0.55, 0), (1.1, 1)], [(0.25, 0.66), (0.85, 0.66)]], 1.1),
    'Z': ([[(0, 0), (1, 0), (0, 1), (1, 1)]], 1),
    '?': ([[(0.05, 0.3), (0.15, 0.08), (0.5, 0), (0.85, 0.08), (0.95, 0.3), (0.8, 0.48),
            (0.5, 0.58), (0.5, 0.74)], ['dot', 0.5, 0.95]], 1),
}

# Pixel fonts for the word on the program icon at 32 and 48 pixels, where a
# drawn stroke would blur.
PIXEL_FONT_5 = {
    'H': ["1.1", "1.1", "111", "1.1", "1.1"],
    'T': ["111", ".1.", ".1.", ".1.", ".1."],
    'M': ["1...1", "11.11", "1.1.1", "1...1", "1...1"],
    'L': ["1..", "1..", "1..", "1..", "111"],
}
PIXEL_FONT_7 = {
    'H': ["1...1", "1...1", "1...1", "11111", "1...1", "1...1", "1...1"],
    'T': ["11111", "..1..", "..1..", "..1..", "..1..", "..1..", "..1.."],
    'M': ["1...1", "11.11", "1.1.1", "1.1.1", "1...1", "1...1", "1...1"],
    'L': ["1...", "1...", "1...", "1...", "1...", "1...", "1111"],
}


def pixel_text(canvas, font, s, x, y, rgb):
    for ch in s:
        rows = font[ch]
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == '1':
                    canvas.set_pixel(x + dx, y + dy, rgb)
        x += len(rows[0]) + 1


def pixel_text_width(font, s):
    return sum(len(font[ch][0]) + 1 for ch in s) - 1


# ---------------------------------------------------------------- writers

def png(w, h, rgba):
    """An 8-bit RGBA PNG."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + rgba[y * w * 4:(y + 1) * w * 4] for y in range(h))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def png_pixels(data):
    """The header and pixel rows of a PNG of ours: zlib's output may differ
    between versions, its input does not."""
    pos, out = 8, []
    idat = b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IDAT":
            idat += body
        else:
            out.append(kind + body)
        pos += 12 + n
    return out, zlib.decompress(idat)


def median_cut(colours, n):
    """Up to n palette colours for {rgb: count}; deterministic."""
    boxes = [sorted(colours.items())]
    while len(boxes) < n:
        best, best_i = -1, -1
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spread = max(max(c[0][k] for c in box) - min(c[0][k] for c in box) for k in range(3))
            if spread > best:
                best, best_i = spread, i
        if best_i < 0:
            break
        box = boxes.pop(best_i)
        k = max(range(3), key=lambda k: max(c[0][k] for c in box) - min(c[0][k] for c in box))
        box.sort(key=lambda c: (c[0][k], c[0]))
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for i, c in enumerate(box[:-1]):
            acc += c[1]
            if acc * 2 >= total:
                cut = i + 1
                break
        boxes[best_i:best_i] = [box[:cut], box[cut:]]
    pal = []
    for box in boxes:
        t = sum(c[1] for c in box)
        pal.append(tuple((sum(c[0][k] * c[1] for c in box) + t // 2) // t for k in range(3)))
    return pal


def nearest(pal, rgb, cache):
    i = cache.get(rgb)
    if i is None:
        i = min(range(len(pal)), key=lambda j: (sum((pal[j][k] - rgb[k]) ** 2 for k in range(3)), j))
        cache[rgb] = i
    return i


def flatten_for_palette(rgba, backdrop=(236, 238, 234)):
    """Opaque RGB and a mask for a 256-colour icon: half-covered pixels
    become opaque, blended over a light backdrop that suits both a button
    face and the marble."""
    rgb, mask = [], []
    for i in range(0, len(rgba), 4):
        a = rgba[i + 3] / 255
        if a < 0.5:
            rgb.append((0, 0, 0))
            mask.append(1)
        else:
            rgb.append(tuple(int(rgba[i + k] * a + backdrop[k] * (1 - a) + 0.5) for k in range(3)))
            mask.append(0)
    return rgb, mask


def _rows_bottom_up(w, h, row_bytes):
    pad = (-len(row_bytes(0))) % 4
    return b"".join(row_bytes(y) + b"\0" * pad for y in range(h - 1, -1, -1))


def bmp8(w, h, indices, pal):
    """An uncompressed 8-bit BMP (Windows 3 header)."""
    pal = list(pal) + [(0, 0, 0)] * (256 - len(pal))
    bits = _rows_bottom_up(w, h, lambda y: bytes(indices[y * w:(y + 1) * w]))
    head = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
    off = 14 + len(head) + len(table)
    return b"BM" + struct.pack("<IHHI", off + len(bits), 0, 0, off) + head + table + bits


def ico(images):
    """An icon file from [(size, rgba)]: each size as a 256-colour image with
    a mask and as a 32-bit image with alpha."""
    entries, blobs = [], []
    for size, rgba in images:
        mask_row = lambda bits, y: bytes(
            sum(bits[y * size + x + j] << (7 - j) for j in range(8) if x + j < size)
            for x in range(0, size, 8))
        rgb, mask = flatten_for_palette(rgba)
        counts = {}
        for c, m in zip(rgb, mask):
            if not m:
                counts[c] = counts.get(c, 0) + 1
        pal = median_cut(counts, 256) or [(0, 0, 0)]
        cache = {}
        idx = [nearest(pal, c, cache) if not m else 0 for c, m in zip(rgb, mask)]
        pal = pal + [(0, 0, 0)] * (256 - len(pal))
        xor = _rows_bottom_up(size, size, lambda y: bytes(idx[y * size:(y + 1) * size]))
        andm = _rows_bottom_up(size, size, lambda y: mask_row(mask, y))
        head = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(andm), 0, 0, 256, 0)
        blobs.append((size, 0, 8, head + b"".join(bytes((b, g, r, 0)) for r, g, b in pal) + xor + andm))
        alpha_mask = [1 if rgba[i * 4 + 3] == 0 else 0 for i in range(size * size)]
        bgra = _rows_bottom_up(size, size, lambda y: b"".join(
            bytes((rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]))
            for i in range(y * size * 4, (y + 1) * size * 4, 4)))
        andm = _rows_bottom_up(size, size, lambda y: mask_row(alpha_mask, y))
        head = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(bgra) + len(andm), 0, 0, 0, 0)
        blobs.append((size, 0, 32, head + bgra + andm))
    blobs.sort(key=lambda b: (b[2], -b[0]))  # 256-colour images first, large first
    out = struct.pack("<HHH", 0, 1, len(blobs))
    off = 6 + 16 * len(blobs)
    for size, ncol, bpp, data in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, ncol, 0, 1, bpp, len(data), off)
        off += len(data)
    return out + b"".join(b[3] for b in blobs)


# ----------------------------------------------------------------- marble

TILE = 128


def _hash(ix, iy, seed):
    h = (ix * 374761393 + iy * 668265263 + seed * 2246822519) & 0xffffffff
    h = ((h ^ (h >> 13)) * 1274126177) & 0xffffffff
    return ((h ^ (h >> 16)) & 0xffff) / 65535.0


def _noise(u, v, period, seed):
    """Value noise that repeats every `period` lattice cells."""
    ix, iy = int(u), int(v)
    fx, fy = u - ix, v - iy
    sx = fx * fx * fx * (fx * (fx * 6 - 15) + 10)
    sy = fy * fy * fy * (fy * (fy * 6 - 15) + 10)
    x0, x1, y0, y1 = ix % period, (ix + 1) % period, iy % period, (iy + 1) % period
    a = _hash(x0, y0, seed) + (_hash(x1, y0, seed) - _hash(x0, y0, seed)) * sx
    b = _hash(x0, y1, seed) + (_hash(x1, y1, seed) - _hash(x0, y1, seed)) * sx
    return a + (b - a) * sy


def _fbm(x, y, seed, octaves, base):
    """Sum of octaves on the unit tile, -1..1 roughly; repeats at 1."""
    total, amp, norm = 0.0, 1.0, 0.0
    for o in range(octaves):
        p = base << o
        total += (_noise(x * p, y * p, p, seed + o) - 0.5) * amp
        norm += amp * 0.5
        amp *= 0.5
    return total / norm


# Tone ramp from the darkest shade of the stone to the white of its veins.
MARBLE_RAMP = [(0.0, (156, 176, 158)), (0.35, (180, 198, 180)), (0.6, (200, 214, 198)),
               (0.82, (226, 234, 222)), (1.0, (250, 252, 247))]


def marble_palette():
    pal = []
    for i in range(256):
        t = i / 255
        for (t0, c0), (t1, c1) in zip(MARBLE_RAMP, MARBLE_RAMP[1:]):
            if t <= t1:
                f = (t - t0) / (t1 - t0)
                pal.append(tuple(int(c0[k] + (c1[k] - c0[k]) * f + 0.5) for k in range(3)))
                break
    return pal


def marble_tile():
    """Pale grey-green marble with soft white veins that repeats seamlessly:
    every noise lattice and every vein wave has a whole number of periods
    across the tile."""
    idx = []
    for py in range(TILE):
        for px in range(TILE):
            x, y = px / TILE, py / TILE
            cloud = _fbm(x, y, 11, 4, 3)
            turb = _fbm(x, y, 23, 5, 2)
            w1 = 1 - abs(sin(2 * PI * (x + 2 * y) + 6.0 * turb))
            w2 = 1 - abs(sin(2 * PI * (3 * x - y) + 3.5 * turb + 1.3 * cloud))
            v1, v2 = ipow(w1, 10), ipow(w2, 22)
            tone = 0.42 + 0.22 * cloud
            v = tone + (1 - tone) * clamp(0.8 * v1 + 0.45 * v2)
            idx.append(int(clamp(v) * 255 + 0.5))
    return idx


def luminance(rgb):
    def lin(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    return 0.2126 * lin(rgb[0]) + 0.7152 * lin(rgb[1]) + 0.0722 * lin(rgb[2])


def contrast_with_black(rgb):
    return (luminance(rgb) + 0.05) / 0.05


# ----------------------------------------------------------------- bullet

BULLET = ["..###..",
          ".#hoo#.",
          "#hhooo#",
          "#hooos#",
          "#ooos:#",
          ".#ss:#.",
          "..###..",
          "......."]
BULLET_COLOURS = {'#': (36, 92, 48), 'h': (170, 226, 160), 'o': (82, 170, 84),
                  's': (52, 130, 60), ':': (40, 108, 50)}


def bullet():
    """The 7 by 8 bullet: palette index 0, the first pixel, is the stone's
    mean colour so that the picture sits on the marble even when drawn
    opaque; the PNG is transparent there."""
    pal = [None]
    for ch in "#hos:":
        pal.append(BULLET_COLOURS[ch])
    return pal, [0 if ch == '.' else "#hos:".index(ch) + 1 for row in BULLET for ch in row]


# ------------------------------------------------------------------ icons
# Each icon is drawn on a square grid of design units; outlines are drawn
# as the shape in the outline colour under the same shape set in by the
# outline's width, which never falls below one pixel.

def _outline(p, units=1.0):
    return max(units, 1.0 / p.u)


def draw_folder(p, x0, y0, x1, y1, open_=False, inside=None):
    """A folder; inside() draws what sticks out of it, between back and front."""
    o = _outline(p)
    tab_w = (x1 - x0) * 0.4
    back = p.poly([(x0, y0 + 3), (x0 + 1, y0), (x0 + tab_w - 1, y0), (x0 + tab_w + 1, y0 + 3),
                   (x1, y0 + 3), (x1, y1), (x0, y1)])
    p.fill(back, '#8a5a10')
    p.fill(p.poly([(x0 + o, y0 + 3 + o), (x0 + 1 + o, y0 + o), (x0 + tab_w - 1, y0 + o),
                   (x0 + tab_w + 1 - o / 2, y0 + 3 + o), (x1 - o, y0 + 3 + o), (x1 - o, y1 - o),
                   (x0 + o, y1 - o)]), '#dd9f2a')
    h = y1 - y0
    if inside:
        inside()
    if open_:
        p.fill(p.rect(x0 + 3, y0 + 1.5, x1 - 3, y1 - 3), '#7a7a7a')
        p.fill(p.rect(x0 + 3 + o, y0 + 1.5 + o, x1 - 3 - o, y1 - 3), '#ffffff')
        for i in range(3):
            yy = y0 + 4 + i * 2.5
            if yy < y0 + h * 0.4:
                p.fill(p.rect(x0 + 5, yy, x1 - 6, yy + o), '#9aa7b8')
        top = y0 + h * 0.38
        front = [(x0 + 4, top), (x1 + 1.5, top), (x1 - 2, y1), (x0, y1)]
        p.fill(p.poly(front), '#8a5a10')
        inner = [(x0 + 4 + o, top + o), (x1 + 1.5 - 1.5 * o, top + o), (x1 - 2 - o / 2, y1 - o),
                 (x0 + 1.5 * o, y1 - o)]
        p.fill(p.poly(inner), p.linear(0, top, '#ffe68a', 0, y1, '#f2b53c'))
    else:
        top = y0 + h * 0.22
        p.fill(p.rect(x0, top, x1, y1), '#8a5a10')
        p.fill(p.rect(x0 + o, top + o, x1 - o, y1 - o), p.linear(0, top, '#ffe27a', 0, y1, '#f0b43c'))


def draw_arrow(p, pts, width, head, dark, light):
    """A thick arrow along pts whose head points along the last segment."""
    (ax, ay), (bx, by) = pts[-2], pts[-1]
    dx, dy = bx - ax, by - ay
    ln = math.sqrt(dx * dx + dy * dy)
    dx, dy = dx / ln, dy / ln
    nx, ny = -dy, dx
    base = (bx - dx * head * 0.2, by - dy * head * 0.2)
    tip = (bx + dx * head * 0.8, by + dy * head * 0.8)
    tri = [(base[0] + nx * head * 0.75, base[1] + ny * head * 0.75), tip,
           (base[0] - nx * head * 0.75, base[1] - ny * head * 0.75)]
    o = _outline(p)
    shaft = pts[:-1] + [base]
    p.fill(p.stroke(shaft, width + 2 * o, cap='butt')
           + p.poly([(tri[0][0] + nx * o * 1.2 - dx * o, tri[0][1] + ny * o * 1.2 - dy * o),
                     (tip[0] + dx * o * 1.6, tip[1] + dy * o * 1.6),
                     (tri[2][0] - nx * o * 1.2 - dx * o, tri[2][1] - ny * o * 1.2 - dy * o)]), dark)
    p.fill(p.stroke(shaft, width, cap='butt') + p.poly(tri), light)


def draw_book(p, cover, dark, mark):
    p.fill(p.rrect(6, 3, 27, 29, 1.5), dark)
    p.fill(p.rect(23.5, 5, 26, 27.5), '#f4f1e8')
    p.fill(p.rrect(7, 4, 24.5, 28, 1), p.linear(7, 4, cover[0], 24, 28, cover[1]))
    p.fill(p.rect(7, 4, 10, 28), dark, 0.55)
    mark()


def icon_program(size):
    c = Canvas(size, size)
    p = Pen(c, 48)
    o = _outline(p)
    # the page that the program writes: a title band and a list of links
    p.fill(p.rect(15, 2, 46, 35), '#46556b')
    p.fill(p.rect(15 + o, 2 + o, 46 - o, 35 - o), p.linear(0, 2, '#ffffff', 0, 35, '#e8edf4'))
    band = (15 + o, 2 + o, 46 - o, 13)
    p.fill(p.rect(*band), p.linear(0, 2, '#3d82e0', 0, 13, '#1f5bb5'))
    for i in range(4):
        y = 16 + i * 4.5
        p.fill(p.rect(19, y, 21.5, y + 2.5), '#2f9e44' if i % 2 else '#1f5bb5')
        p.fill(p.rect(23.5, y + 0.5, 43 - (i % 2) * 5, y + 2), '#97a3b4')
    # the folder it was written for
    # the folder it was written for, and the arrow from it to the word
    draw_folder(p, 2, 19, 31, 45, inside=lambda: draw_arrow(
        p, p.curve((8.5, 32), ('q', 8.5, 7.5, 14, 7.5)), 3.4, 5.2, '#15582a', '#3cb54a'))
    bx0, by0 = int(band[0] * p.u + 0.5), int(2 * p.u + o * p.u + 0.5)
    bx1, by1 = int(band[2] * p.u + 0.5), int(13 * p.u + 0.5)
    if size in (32, 48):
        font = PIXEL_FONT_5 if size == 32 else PIXEL_FONT_7
        tw, th = pixel_text_width(font, "HTML"), len(font['H'])
        tx = bx0 + (bx1 - bx0 - tw + 1) // 2 + (1 if size == 48 else 0)
        pixel_text(c, font, "HTML", tx, by0 + (by1 - by0 - th) // 2, (255, 255, 255))
    elif size > 48:
        p.fill(p.text("HTML", 20.5, 4.5, 6, 1.3), '#ffffff')
    else:
        p.fill(p.rect(22, 7, 40, 8.5), '#ffffff')
    return c.rgba_bytes()


def icon_folder_closed(p):
    draw_folder(p, 3, 6, 29, 27)


def icon_folder_open(p):
    draw_folder(p, 3, 6, 29, 27, open_=True)


def icon_sort(p):
    p.fill(p.text("A", 3, 3, 10, 2.4), '#1d4f9c')
    p.fill(p.text("Z", 4, 18, 10, 2.4), '#1d4f9c')
    draw_arrow(p, [(23, 3), (23, 21)], 3.2, 6, '#8e2a12', '#e0622e')


def icon_words(p):
    def mark():
        p.fill(p.text("A", 11.2, 11, 7, 1.6), '#ffe9a8')
        p.fill(p.rect(16.6, 14.2, 18.4, 15.6), '#ffe9a8')
        p.fill(p.text("Z", 19, 11, 7, 1.6), '#ffe9a8')
    draw_book(p, ('#ef5350', '#b71c1c'), '#6d0f0f', mark)


def icon_help(p):
    def mark():
        p.fill(p.text("?", 12.2, 8, 15, 2.6), '#fff2b0')
    draw_book(p, ('#a065d0', '#5e2a8c'), '#371552', mark)


def icon_browser(p):
    head = p.poly(p.curve((4, 15), ('c', 4, 6, 14, 4, 20, 7), ('q', 28, 9, 30, 15), (30, 16.5),
                          ('q', 26, 22, 18, 22), ('q', 13, 23, 13, 30), (5, 30), ('q', 3, 23, 4, 15)))
    p.fill(head, '#1e5b1e')
    inner = p.poly(p.curve((5, 15), ('c', 5, 7, 14, 5, 20, 8), ('q', 27, 10, 29, 15), (29, 16),
                           ('q', 25.5, 21, 18, 21), ('q', 12, 22, 12, 29), (6, 29), ('q', 4, 23, 5, 15)))
    p.fill(inner, p.linear(10, 6, '#9ad85a', 16, 28, '#2f8f2f'))
    for x, y, r in ((9, 18, 1.6), (12, 13, 1.2), (8, 24, 1.3), (14, 18, 1.0)):
        p.fill(p.ellipse(x, y, r), '#c4ec8c', 0.8)
    p.fill(p.stroke(p.curve((29.5, 16.5), ('q', 24, 18, 19, 16)), 1.0), '#1e5b1e')
    p.fill(p.ellipse(26.5, 11.5, 0.8), '#1e5b1e')
    p.fill(p.ellipse(18, 11, 3.2), '#1e5b1e')
    p.fill(p.ellipse(18, 11, 2.4), '#fff8d0')
    p.fill(p.ellipse(18.8, 11, 1.3), '#111111')


def icon_tablet(p):
    slab = p.curve((7, 30), (7, 9), ('q', 7, 2.5, 16, 2.5), ('q', 25, 2.5, 25, 9), (25, 30))
    p.fill(p.poly(slab), '#57524a')
    o = _outline(p)
    inner = p.curve((7 + o, 30 - o), (7 + o, 9), ('q', 7 + o, 2.5 + o, 16, 2.5 + o),
                    ('q', 25 - o, 2.5 + o, 25 - o, 9), (25 - o, 30 - o))
    p.fill(p.poly(inner), p.linear(8, 3, '#cbc6ba', 24, 30, '#8f897d'))
    ink = '#4e493f'
    p.fill(p.stroke([(10, 10), (12, 8), (14, 10), (16, 8), (18, 10)], 1.2), ink)
    p.fill(p.ellipse(21.5, 9, 1.3), ink)
    p.fill(p.stroke([(10, 14.5), (21.5, 14.5)], 1.2), ink)
    p.fill(p.stroke([(10, 19), (13, 19)], 1.2) + p.stroke([(15.5, 17.5), (15.5, 20.5)], 1.2)
           + p.stroke([(18, 19), (21.5, 19)], 1.2), ink)
    p.fill(p.stroke([(10, 23.5), (12, 25.5), (14, 23.5)], 1.2) + p.stroke([(17, 24.5), (21.5, 24.5)], 1.2), ink)
    p.fill(p.rect(4, 29, 28, 31), '#6d675c')


def _gear(p, cx, cy, r_out, r_in, teeth, hole):
    pts = []
    s = 2 * PI / teeth
    for i in range(teeth):
        a = i * s
        for rr, da in ((r_in, -0.5), (r_out, -0.22), (r_out, 0.22), (r_in, 0.5)):
            pts.append((cx + rr * cos(a + da * s), cy + rr * sin(a + da * s)))
    return p.poly(pts) + p.ellipse(cx, cy, hole, hole=True)


def icon_batch(p):
    o = _outline(p)
    doc = [(4, 2), (17, 2), (23, 8), (23, 28), (4, 28)]
    p.fill(p.poly(doc), '#5a6473')
    p.fill(p.poly([(4 + o, 2 + o), (17 - o / 2, 2 + o), (23 - o, 8 + o / 2), (23 - o, 28 - o), (4 + o, 28 - o)]),
           '#ffffff')
    p.fill(p.poly([(17, 2), (17, 8), (23, 8)]), '#5a6473')
    p.fill(p.poly([(17 + o, 3.5), (17 + o, 8 - o), (21.5, 8 - o)]), '#dfe4ea')
    for i, x1 in enumerate((15, 19, 18, 13, 12)):
        p.fill(p.rect(7, 6 + i * 3.5, x1, 7 + i * 3.5), '#8794a6')
    p.fill(_gear(p, 22, 22, 8.6, 6.4, 8, 2.6), '#2f3b48')
    p.fill(_gear(p, 22, 22, 7.6, 5.5, 8, 3.4), p.linear(15, 15, '#b3c2d3', 29, 29, '#5f7388'))


def _tree(p, x, y, colours):
    """Four boxes: a root on top and three children on a line below it."""
    line = '#59636e'
    p.fill(p.stroke([(x + 4, y + 5), (x + 4, y + 9)], 1.2, cap='butt')
           + p.stroke([(x + 4, y + 9), (x + 4, y + 21)], 1.2, cap='butt')
           + p.stroke([(x + 4, y + 12.5), (x + 7, y + 12.5)], 1.2, cap='butt')
           + p.stroke([(x + 4, y + 20.5), (x + 7, y + 20.5)], 1.2, cap='butt'), line)
    for (bx, by, bw), col in zip(((x, y, 9), (x + 7, y + 9, 7), (x + 7, y + 17.5, 7)), colours):
        p.fill(p.rect(bx, by, bx + bw, by + 6.5 if by == y else by + 6.5), '#2c3440')
        p.fill(p.rect(bx + _outline(p), by + _outline(p), bx + bw - _outline(p), by + 6.5 - _outline(p)),
               p.linear(bx, by, col[0], bx, by + 6.5, col[1]))


TREE_COLOURS = ((('#6fa8f0', '#2a64c0')), ('#ffd060', '#e39a12'), ('#7fd07a', '#2f9a3a'))


def icon_config_read(p):
    _tree(p, 16, 2, TREE_COLOURS)
    draw_arrow(p, [(2, 19), (12, 19)], 3.6, 6.5, '#15582a', '#3cb54a')


def icon_config_write(p):
    _tree(p, 2, 2, TREE_COLOURS)
    draw_arrow(p, [(16, 19), (24, 19)], 3.6, 6.5, '#7a2408', '#e0622e')


def icon_brush(p):
    p.fill(p.stroke([(28, 3), (17, 14)], 4.2), '#5a3413')
    p.fill(p.stroke([(28, 3), (17, 14)], 2.6), p.linear(20, 8, '#d89a5c', 25, 12, '#9c5a22'))
    ferrule = p.stroke([(17, 14), (12.5, 18.5)], 6.0, cap='butt')
    p.fill(ferrule, '#4a4f56')
    p.fill(p.stroke([(17, 14), (12.5, 18.5)], 4.4, cap='butt'), p.linear(12, 14, '#eef1f4', 17, 19, '#8c949e'))
    tuft = p.curve((10.2, 16.2), (14.8, 20.8), ('q', 12, 27.5, 2.5, 29.5), ('q', 4.5, 20, 10.2, 16.2))
    p.fill(p.poly(tuft), '#123a80')
    tuft_in = p.curve((10.6, 17.6), (13.4, 20.4), ('q', 11, 26.2, 4.2, 28), ('q', 5.8, 20.6, 10.6, 17.6))
    p.fill(p.poly(tuft_in), p.linear(6, 20, '#5b9cf0', 12, 26, '#1f5bc4'))


def icon_id_card(p):
    p.fill(p.rrect(1, 6, 31, 27, 2.5), '#3e5470')
    o = _outline(p)
    p.fill(p.rrect(1 + o, 6 + o, 31 - o, 27 - o, 2), '#eef3fa')
    p.fill(p.rect(1 + o, 9, 31 - o, 11.5), '#3b78d8')
    p.fill(p.rect(4, 13.5, 13, 24.5), '#7f8fa3')
    p.fill(p.rect(4 + o, 13.5 + o, 13 - o, 24.5 - o), '#d9e2ec')
    p.fill(p.ellipse(8.5, 17.3, 2.2), '#5a6b80')
    p.fill(p.poly(p.curve((5 + o, 24.5 - o), ('q', 5, 20.2, 8.5, 20.2), ('q', 12, 20.2, 12, 24.5 - o))), '#5a6b80')
    for y, x1 in ((15, 28), (18.5, 26), (22, 23)):
        p.fill(p.rect(15.5, y, x1, y + 1.5), '#8794a6')


def icon_ok(p):
    pts = [(5, 17), (12.5, 24.5), (27, 8)]
    p.fill(p.stroke(pts, 6.4), '#145a14')
    p.fill(p.stroke(pts, 4.2), p.linear(5, 8, '#7ada5a', 20, 26, '#259a25'))


def icon_cancel(p):
    a, b = [(7.5, 7.5), (24.5, 24.5)], [(24.5, 7.5), (7.5, 24.5)]
    p.fill(p.stroke(a, 6.4) + p.stroke(b, 6.4), '#7a0d0d')
    p.fill(p.stroke(a, 4.2) + p.stroke(b, 4.2), p.linear(8, 6, '#ff7a6e', 22, 26, '#d32020'))


def icon_options(p):
    """Three slider rails, each with its knob at another place."""
    o = _outline(p)
    for y, k in ((7, 21), (16, 10), (25, 17)):
        p.fill(p.stroke([(3, y), (29, y)], 2.6), '#3c4654')
        p.fill(p.stroke([(3, y), (29, y)], 1.2), '#9aa6b4')
        p.fill(p.ellipse(k, y, 4.4), '#2c3440')
        p.fill(p.ellipse(k, y, 4.4 - o), p.linear(k - 3, y - 3, '#ffd060', k + 3, y + 3, '#e08a12'))


BUTTON_ICONS = [
    ("folder_closed", icon_folder_closed, "closed folder: the folder chooser's idle icon"),
    ("folder_open", icon_folder_open, "open folder: the folder chooser's hover and pressed icon"),
    ("sort", icon_sort, "A and Z with a down arrow: sort options"),
    ("words", icon_words, "red A-Z book: default words"),
    ("browser", icon_browser, "green reptile head: open the output file in the browser"),
    ("tablet", icon_tablet, "stone tablet with glyphs: edit the custom HTML file"),
    ("batch", icon_batch, "document with a gear wheel: save the batch file"),
    ("config_read", icon_config_read, "arrow into a tree of boxes: read a configuration file"),
    ("config_write", icon_config_write, "tree of boxes with an arrow out: write a configuration file"),
    ("brush", icon_brush, "paint brush: change the background bitmap"),
    ("help", icon_help, "purple book with a question mark: help"),
    ("id_card", icon_id_card, "identity card: distribution terms"),
    ("options", icon_options, "three sliders: more options"),
    ("ok", icon_ok, "green tick: OK"),
    ("cancel", icon_cancel, "red cross: Cancel"),
]


def button_icon(draw, size):
    c = Canvas(size, size)
    draw(Pen(c, 32))
    return c.rgba_bytes()


# ------------------------------------------------------------------- main

PROGRAM_PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)


def build():
    """{relative path: bytes} of every output file."""
    out = {}
    pal = marble_palette()
    out["green_marble.bmp"] = bmp8(TILE, TILE, marble_tile(), pal)
    bpal, bidx = bullet()
    mean = marble_mean(out["green_marble.bmp"])
    bpal[0] = mean
    out["bullet.bmp"] = bmp8(7, 8, bidx, bpal)
    out["bullet.png"] = png(7, 8, b"".join(bytes(bpal[i]) + (b"\0" if i == 0 else b"\xff") for i in bidx))
    prog = {s: icon_program(s) for s in PROGRAM_PNG_SIZES}
    out["vellora.ico"] = ico([(s, prog[s]) for s in (16, 32, 48)])
    for s in PROGRAM_PNG_SIZES:
        out["vellora-%d.png" % s] = png(s, s, prog[s])
    for name, draw, _ in BUTTON_ICONS:
        img = {s: button_icon(draw, s) for s in (16, 32, 64)}
        out["buttons/%s.ico" % name] = ico([(16, img[16]), (32, img[32])])
        out["buttons/%s.png" % name] = png(32, 32, img[32])
        out["buttons/%s@2x.png" % name] = png(64, 64, img[64])
    return out


def bmp8_pixels(data):
    """Palette and top-down index rows of one of our 8-bit BMPs."""
    off, = struct.unpack("<I", data[10:14])
    w, h = struct.unpack("<ii", data[18:26])
    pal = [(data[54 + i * 4 + 2], data[54 + i * 4 + 1], data[54 + i * 4]) for i in range(256)]
    stride = (w + 3) & ~3
    rows = [data[off + (h - 1 - y) * stride:off + (h - 1 - y) * stride + w] for y in range(h)]
    return w, h, pal, rows


def marble_mean(data):
    w, h, pal, rows = bmp8_pixels(data)
    tot = [0, 0, 0]
    for row in rows:
        for i in row:
            for k in range(3):
                tot[k] += pal[i][k]
    return tuple((t + w * h // 2) // (w * h) for t in tot)


def marble_checks(data):
    """The tile's promises: black text stays readable on its darkest pixel,
    and its wrap-around edges differ no more than neighbours inside."""
    w, h, pal, rows = bmp8_pixels(data)
    used = {i for row in rows for i in row}
    worst = min(contrast_with_black(pal[i]) for i in used)
    inner = sum(abs(rows[y][x + 1] - rows[y][x]) for y in range(h) for x in range(w - 1)) / (h * (w - 1))
    seam_x = sum(abs(rows[y][0] - rows[y][w - 1]) for y in range(h)) / h
    seam_y = sum(abs(rows[0][x] - rows[h - 1][x]) for x in range(w)) / w
    inner_y = sum(abs(rows[y + 1][x] - rows[y][x]) for y in range(h - 1) for x in range(w)) / ((h - 1) * w)
    problems = []
    if worst < 7.0:
        problems.append("darkest marble pixel gives black text a contrast of only %.1f:1" % worst)
    if seam_x > 2 * inner or seam_y > 2 * inner_y:
        problems.append("the tile's edges do not meet (%.1f, %.1f against %.1f, %.1f inside)"
                        % (seam_x, seam_y, inner, inner_y))
    return worst, problems


def same(path, old, new):
    if old == new:
        return True
    if path.endswith(".png") and old.startswith(b"\x89PNG"):
        try:
            return png_pixels(old) == png_pixels(new)
        except (zlib.error, struct.error):
            return False
    return False


def write_cpp(path, files):
    lines = ["// Generated by art/make_art.py: the artwork as byte arrays.", "#pragma once", "",
             "namespace vellora_art {", ""]
    for name in sorted(files):
        ident = "k" + "".join(part.capitalize() for part in
                              name.replace("/", "_").replace("@", "_").replace("-", "_").replace(".", "_").split("_"))
        data = files[name]
        lines.append("// %s" % name)
        lines.append("inline constexpr unsigned char %s[%d] = {" % (ident, len(data)))
        for i in range(0, len(data), 16):
            lines.append("    " + ",".join("%d" % b for b in data[i:i + 16]) + ",")
        lines.append("};")
        lines.append("")
    lines.append("}  // namespace vellora_art")
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--check", action="store_true", help="compare art/out/ with a fresh drawing")
    ap.add_argument("--cpp", metavar="FILE", help="also write the files as C++ byte arrays")
    ap.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "out"))
    args = ap.parse_args()
    files = build()
    contrast, problems = marble_checks(files["green_marble.bmp"])
    for p in problems:
        print("make_art: %s" % p, file=sys.stderr)
    if args.check:
        bad = []
        for name, data in sorted(files.items()):
            try:
                with open(os.path.join(args.out, name), "rb") as f:
                    old = f.read()
            except OSError:
                old = None
            if old is None or not same(name, old, data):
                bad.append(name)
        known = {os.path.relpath(os.path.join(d, f), args.out)
                 for d, _, fs in os.walk(args.out) for f in fs}
        extra = sorted(known - set(files))
        for name in bad:
            print("make_art: %s differs from its drawing" % name, file=sys.stderr)
        for name in extra:
            print("make_art: %s is not drawn by make_art.py" % name, file=sys.stderr)
        if bad or extra or problems:
            print("make_art: run python3 art/make_art.py and commit art/out/", file=sys.stderr)
            return 1
        print("make_art: %d files match their drawing; black on the marble %.1f:1 at worst"
              % (len(files), contrast))
        return 0
    for name, data in files.items():
        path = os.path.join(args.out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if args.cpp:
        write_cpp(args.cpp, files)
    print("make_art: wrote %d files; black on the marble %.1f:1 at worst" % (len(files), contrast))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
