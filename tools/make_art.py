#!/usr/bin/env python3
"""Draws the artwork of Revivix:

  src/main/res/banner.bmp   533 x 84, 24-bit: the banner at the top of the
                            main window (blue gradient, wave lines, the mark,
                            "Revivix" and "Firmware repair wizard")
  src/main/res/fernclip.ico 16 x 16, 32 x 32 and 48 x 48, 32-bit with alpha:
                            a player inside a refresh arrow

Pure Python, no image libraries.  Text is drawn from the outlines of the
DejaVu Sans fonts (Debian package fonts-dejavu-core), read straight from the
TrueType files; the shapes are filled with an exact-area anti-aliasing
rasteriser.  Same fonts, same output: the result is deterministic.

  python3 tools/make_art.py                 write the two resources
  python3 tools/make_art.py --preview DIR   also write PNG previews to DIR
  python3 tools/make_art.py --font-dir DIR  take the fonts from DIR
"""

import argparse
import math
import os
import struct
import sys
import zlib

DEFAULT_FONT_DIR = "/usr/share/fonts/truetype/dejavu"

BANNER_W, BANNER_H = 533, 84
ICON_SIZES = (16, 32, 48)


# ---------------------------------------------------------------------------
# Colours


def hex_rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def smoothstep(t):
    t = min(1.0, max(0.0, t))
    return t * t * (3.0 - 2.0 * t)


# ---------------------------------------------------------------------------
# Rasteriser: signed-area accumulation.  Every closed polygon adds its signed
# area to a buffer; a running sum along each row then gives the coverage of
# every pixel.  Outer contours and holes of opposite orientation cancel, as in
# TrueType glyphs.


class Coverage:
    def __init__(self, width, height):
        self.w = width
        self.h = height
        self.stride = width + 2
        self.acc = [0.0] * (self.stride * height)

    def line(self, x0, y0, x1, y1):
        if y0 == y1:
            return
        if y0 < y1:
            direction = 1.0
        else:
            direction = -1.0
            x0, y0, x1, y1 = x1, y1, x0, y0
        # Points left or right of the canvas are moved onto its edge; that
        # keeps the area inside the canvas unchanged.
        x0 = min(max(x0, 0.0), float(self.w))
        x1 = min(max(x1, 0.0), float(self.w))
        dxdy = (x1 - x0) / (y1 - y0)
        x = x0
        if y0 < 0.0:
            x -= y0 * dxdy
        row_first = max(0, int(math.floor(y0)))
        row_end = min(self.h, int(math.ceil(y1)))
        a = self.acc
        for y in range(row_first, row_end):
            start = y * self.stride
            dy = min(float(y + 1), y1) - max(float(y), y0)
            xnext = x + dxdy * dy
            d = dy * direction
            lo, hi = (x, xnext) if x < xnext else (xnext, x)
            lo_floor = math.floor(lo)
            lo_i = int(lo_floor)
            hi_ceil = math.ceil(hi)
            hi_i = int(hi_ceil)
            if hi_i <= lo_i + 1:
                xmf = 0.5 * (x + xnext) - lo_floor
                a[start + lo_i] += d - d * xmf
                a[start + lo_i + 1] += d * xmf
            else:
                s = 1.0 / (hi - lo)
                lo_f = lo - lo_floor
                a0 = 0.5 * s * (1.0 - lo_f) * (1.0 - lo_f)
                hi_f = hi - hi_ceil + 1.0
                am = 0.5 * s * hi_f * hi_f
                a[start + lo_i] += d * a0
                if hi_i == lo_i + 2:
                    a[start + lo_i + 1] += d * (1.0 - a0 - am)
                else:
                    a1 = s * (1.5 - lo_f)
                    a[start + lo_i + 1] += d * (a1 - a0)
                    for xi in range(lo_i + 2, hi_i - 1):
                        a[start + xi] += d * s
                    a2 = a1 + (hi_i - lo_i - 3) * s
                    a[start + hi_i - 1] += d * (1.0 - a2 - am)
                a[start + hi_i] += d * am
            x = xnext

    def polygon(self, points):
        n = len(points)
        for i in range(n):
            x0, y0 = points[i]
            x1, y1 = points[(i + 1) % n]
            self.line(x0, y0, x1, y1)

    def mask(self):
        """Coverage per pixel, 0..1, row by row."""
        out = []
        for y in range(self.h):
            start = y * self.stride
            total = 0.0
            row = []
            for x in range(self.w):
                total += self.acc[start + x]
                row.append(min(1.0, abs(total)))
            out.append(row)
        return out


class Canvas:
    """Straight-alpha RGBA image with float channels."""

    def __init__(self, width, height, background=None):
        self.w = width
        self.h = height
        if background is None:
            self.rgb = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]
            self.alpha = [[0.0] * width for _ in range(height)]
        else:
            self.rgb = [[background] * width for _ in range(height)]
            self.alpha = [[1.0] * width for _ in range(height)]

    def fill(self, polygons, colour, opacity=1.0):
        """Fills the polygons as one shape; colour is an RGB tuple or a
        function (x, y) -> RGB evaluated at pixel centres."""
        cov = Coverage(self.w, self.h)
        for poly in polygons:
            cov.polygon(poly)
        mask = cov.mask()
        for y in range(self.h):
            mrow = mask[y]
            rrow = self.rgb[y]
            arow = self.alpha[y]
            for x in range(self.w):
                m = mrow[x] * opacity
                if m <= 0.0:
                    continue
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                a_dst = arow[x]
                a_out = m + a_dst * (1.0 - m)
                if a_out <= 0.0:
                    continue
                dst = rrow[x]
                rrow[x] = tuple((c[i] * m + dst[i] * a_dst * (1.0 - m)) / a_out
                                for i in range(3))
                arow[x] = a_out

    def bytes_rgb(self, bottom_up=True, bgr=True, pad=True):
        rows = range(self.h - 1, -1, -1) if bottom_up else range(self.h)
        out = bytearray()
        for y in rows:
            line = bytearray()
            for x in range(self.w):
                r, g, b = (to_byte(v) for v in self.rgb[y][x])
                line += bytes((b, g, r)) if bgr else bytes((r, g, b))
            if pad:
                line += b"\0" * ((4 - len(line) % 4) % 4)
            out += line
        return bytes(out)


def to_byte(v):
    return max(0, min(255, int(round(v * 255.0))))


# ---------------------------------------------------------------------------
# Shapes


def circle(cx, cy, r, steps=None, reverse=False):
    if steps is None:
        steps = max(24, int(r * 6))
    pts = [(cx + r * math.cos(2 * math.pi * i / steps),
            cy + r * math.sin(2 * math.pi * i / steps)) for i in range(steps)]
    return pts[::-1] if reverse else pts


def rounded_rect(x0, y0, x1, y1, r, reverse=False):
    r = min(r, (x1 - x0) / 2.0, (y1 - y0) / 2.0)
    pts = []
    corners = ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
               (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180))
    steps = max(4, int(r * 3))
    for cx, cy, start in corners:
        for i in range(steps + 1):
            t = math.radians(start + 90.0 * i / steps)
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return pts[::-1] if reverse else pts


def arc_band(cx, cy, r_in, r_out, a0, a1, steps=None):
    """Ring segment between angles a0 and a1 (radians, clockwise on screen)."""
    if steps is None:
        steps = max(16, int(abs(a1 - a0) * r_out * 2))
    outer = [(cx + r_out * math.cos(a0 + (a1 - a0) * i / steps),
              cy + r_out * math.sin(a0 + (a1 - a0) * i / steps))
             for i in range(steps + 1)]
    inner = [(cx + r_in * math.cos(a0 + (a1 - a0) * i / steps),
              cy + r_in * math.sin(a0 + (a1 - a0) * i / steps))
             for i in range(steps, -1, -1)]
    return outer + inner


def arrow_head(cx, cy, radius, angle, width, length):
    """Triangle at angle on a circle, pointing clockwise along it."""
    px, py = cx + radius * math.cos(angle), cy + radius * math.sin(angle)
    nx, ny = math.cos(angle), math.sin(angle)          # outward normal
    tx, ty = -math.sin(angle), math.cos(angle)         # clockwise tangent
    half = width / 2.0
    return [(px + nx * half, py + ny * half),
            (px + tx * length, py + ty * length),
            (px - nx * half, py - ny * half)]


def stroke_polyline(points, width, taper=0.0):
    """Polygon of a thick polyline (miter-free, fine for gentle curves).  With
    taper > 0 the line grows from nothing over its first `taper` pixels."""
    left, right = [], []
    n = len(points)
    travelled = 0.0
    for i in range(n):
        if i:
            travelled += math.hypot(points[i][0] - points[i - 1][0],
                                    points[i][1] - points[i - 1][1])
        half = width / 2.0
        if taper > 0.0:
            half *= smoothstep(travelled / taper)
        xa, ya = points[max(0, i - 1)]
        xb, yb = points[min(n - 1, i + 1)]
        dx, dy = xb - xa, yb - ya
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length, dx / length
        x, y = points[i]
        left.append((x + nx * half, y + ny * half))
        right.append((x - nx * half, y - ny * half))
    return left + right[::-1]


# ---------------------------------------------------------------------------
# TrueType outlines


class Font:
    def __init__(self, path):
        with open(path, "rb") as handle:
            self.data = handle.read()
        d = self.data
        count = struct.unpack(">H", d[4:6])[0]
        self.tables = {}
        for i in range(count):
            rec = 12 + 16 * i
            tag = d[rec:rec + 4].decode("latin-1")
            offset, length = struct.unpack(">II", d[rec + 8:rec + 16])
            self.tables[tag] = (offset, length)
        head = self.tables["head"][0]
        self.units_per_em = struct.unpack(">H", d[head + 18:head + 20])[0]
        self.long_loca = struct.unpack(">h", d[head + 50:head + 52])[0] == 1
        hhea = self.tables["hhea"][0]
        self.num_hmetrics = struct.unpack(">H", d[hhea + 34:hhea + 36])[0]
        maxp = self.tables["maxp"][0]
        self.num_glyphs = struct.unpack(">H", d[maxp + 4:maxp + 6])[0]
        self.cmap = self._read_cmap()
        self.kerning = self._read_kern()

    def _read_cmap(self):
        d = self.data
        base = self.tables["cmap"][0]
        count = struct.unpack(">H", d[base + 2:base + 4])[0]
        chosen = None
        for i in range(count):
            platform, encoding, offset = struct.unpack(
                ">HHI", d[base + 4 + 8 * i:base + 12 + 8 * i])
            if (platform, encoding) in ((3, 1), (0, 3)):
                fmt = struct.unpack(">H", d[base + offset:base + offset + 2])[0]
                if fmt == 4:
                    chosen = base + offset
                    break
        if chosen is None:
            raise ValueError("font has no Unicode BMP character map")
        seg2 = struct.unpack(">H", d[chosen + 6:chosen + 8])[0]
        segs = seg2 // 2
        ends = chosen + 14
        starts = ends + seg2 + 2
        deltas = starts + seg2
        ranges = deltas + seg2
        mapping = {}
        for s in range(segs):
            end = struct.unpack(">H", d[ends + 2 * s:ends + 2 * s + 2])[0]
            start = struct.unpack(">H", d[starts + 2 * s:starts + 2 * s + 2])[0]
            delta = struct.unpack(">h", d[deltas + 2 * s:deltas + 2 * s + 2])[0]
            roff_at = ranges + 2 * s
            roff = struct.unpack(">H", d[roff_at:roff_at + 2])[0]
            for code in range(start, min(end, 0x2FFF) + 1):
                if code == 0xFFFF:
                    continue
                if roff == 0:
                    glyph = (code + delta) & 0xFFFF
                else:
                    at = roff_at + roff + 2 * (code - start)
                    glyph = struct.unpack(">H", d[at:at + 2])[0]
                    if glyph:
                        glyph = (glyph + delta) & 0xFFFF
                if glyph:
                    mapping[code] = glyph
        return mapping

    def _read_kern(self):
        pairs = {}
        if "kern" not in self.tables:
            return pairs
        d = self.data
        base = self.tables["kern"][0]
        count = struct.unpack(">H", d[base + 2:base + 4])[0]
        at = base + 4
        for _ in range(count):
            length, coverage = struct.unpack(">HH", d[at + 2:at + 6])
            if coverage >> 8 == 0 and coverage & 1:
                n = struct.unpack(">H", d[at + 6:at + 8])[0]
                p = at + 14
                for i in range(n):
                    left, right, value = struct.unpack(">HHh", d[p + 6 * i:p + 6 * i + 6])
                    pairs[(left, right)] = value
            at += length
        return pairs

    def glyph_id(self, char):
        return self.cmap.get(ord(char), 0)

    def advance(self, glyph):
        d = self.data
        hmtx = self.tables["hmtx"][0]
        index = min(glyph, self.num_hmetrics - 1)
        return struct.unpack(">H", d[hmtx + 4 * index:hmtx + 4 * index + 2])[0]

    def _glyph_range(self, glyph):
        d = self.data
        loca = self.tables["loca"][0]
        if self.long_loca:
            a, b = struct.unpack(">II", d[loca + 4 * glyph:loca + 4 * glyph + 8])
        else:
            a, b = struct.unpack(">HH", d[loca + 2 * glyph:loca + 2 * glyph + 4])
            a, b = a * 2, b * 2
        glyf = self.tables["glyf"][0]
        return glyf + a, b - a

    def contours(self, glyph, depth=0):
        """Contours in font units as lists of (x, y, on_curve)."""
        d = self.data
        start, length = self._glyph_range(glyph)
        if length == 0:
            return []
        n_contours = struct.unpack(">h", d[start:start + 2])[0]
        p = start + 10
        if n_contours >= 0:
            ends = list(struct.unpack(">%dH" % n_contours, d[p:p + 2 * n_contours]))
            p += 2 * n_contours
            n_points = ends[-1] + 1 if ends else 0
            ins_len = struct.unpack(">H", d[p:p + 2])[0]
            p += 2 + ins_len
            flags = []
            while len(flags) < n_points:
                f = d[p]
                p += 1
                flags.append(f)
                if f & 8:
                    repeat = d[p]
                    p += 1
                    flags.extend([f] * repeat)
            xs, ys = [], []
            value = 0
            for f in flags:
                if f & 2:
                    delta = d[p]
                    p += 1
                    value += delta if f & 16 else -delta
                elif not f & 16:
                    value += struct.unpack(">h", d[p:p + 2])[0]
                    p += 2
                xs.append(value)
            value = 0
            for f in flags:
                if f & 4:
                    delta = d[p]
                    p += 1
                    value += delta if f & 32 else -delta
                elif not f & 32:
                    value += struct.unpack(">h", d[p:p + 2])[0]
                    p += 2
                ys.append(value)
            result, first = [], 0
            for end in ends:
                result.append([(xs[i], ys[i], bool(flags[i] & 1))
                               for i in range(first, end + 1)])
                first = end + 1
            return result
        # Composite glyph: components placed by offsets, optionally scaled.
        if depth > 8:
            return []
        result = []
        more = True
        while more:
            flags, component = struct.unpack(">HH", d[p:p + 4])
            p += 4
            if flags & 1:
                dx, dy = struct.unpack(">hh", d[p:p + 4])
                p += 4
            else:
                dx, dy = struct.unpack(">bb", d[p:p + 2])
                p += 2
            a, b, c, e = 1.0, 0.0, 0.0, 1.0
            if flags & 8:
                a = e = struct.unpack(">h", d[p:p + 2])[0] / 16384.0
                p += 2
            elif flags & 0x40:
                a, e = (v / 16384.0 for v in struct.unpack(">hh", d[p:p + 4]))
                p += 4
            elif flags & 0x80:
                a, b, c, e = (v / 16384.0 for v in struct.unpack(">hhhh", d[p:p + 8]))
                p += 8
            if not flags & 2:
                dx = dy = 0  # point matching is not needed for our text
            for contour in self.contours(component, depth + 1):
                result.append([(x * a + y * c + dx, x * b + y * e + dy, on)
                               for x, y, on in contour])
            more = bool(flags & 0x20)
        return result


def flatten_contour(contour, transform, steps=8):
    """Turns a quadratic TrueType contour into a polygon in pixels."""
    pts = [(transform(x, y), on) for x, y, on in contour]
    n = len(pts)
    if n == 0:
        return []
    # Start at an on-curve point (or at the midpoint of two off-curve points).
    first = next((i for i in range(n) if pts[i][1]), None)
    if first is None:
        (ax, ay), _ = pts[0]
        (bx, by), _ = pts[1 % n]
        pts = [(((ax + bx) / 2, (ay + by) / 2), True)] + pts[1:] + [pts[0]]
        first = 0
    pts = pts[first:] + pts[:first]
    poly = [pts[0][0]]
    current = pts[0][0]
    control = None
    for (point, on) in pts[1:] + [pts[0]]:
        if on:
            if control is None:
                poly.append(point)
            else:
                poly.extend(quad(current, control, point, steps))
                control = None
            current = point
        else:
            if control is not None:
                mid = ((control[0] + point[0]) / 2, (control[1] + point[1]) / 2)
                poly.extend(quad(current, control, mid, steps))
                current = mid
            control = point
    return poly[:-1] if len(poly) > 1 and poly[-1] == poly[0] else poly


def quad(p0, p1, p2, steps):
    out = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        out.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                    u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))
    return out


def text_polygons(font, text, size_px, x, baseline, tracking=0.0):
    """Polygons of a line of text; returns (polygons, advance width)."""
    scale = size_px / font.units_per_em
    polygons = []
    pen = x
    previous = None
    for char in text:
        glyph = font.glyph_id(char)
        if previous is not None:
            pen += font.kerning.get((previous, glyph), 0) * scale
        origin = pen

        def transform(gx, gy, origin=origin):
            return (origin + gx * scale, baseline - gy * scale)

        for contour in font.contours(glyph):
            poly = flatten_contour(contour, transform)
            if len(poly) >= 3:
                polygons.append(poly)
        pen += font.advance(glyph) * scale + tracking
        previous = glyph
    return polygons, pen - x - tracking


def text_width(font, text, size_px, tracking=0.0):
    return text_polygons(font, text, size_px, 0.0, 0.0, tracking)[1]


# ---------------------------------------------------------------------------
# Palette

NAVY = hex_rgb("0b2f57")
DEEP = hex_rgb("124a82")
MID = hex_rgb("2f7fc4")
SKY = hex_rgb("7fbdf0")
ICE = hex_rgb("d9ecfb")
WHITE = (1.0, 1.0, 1.0)


# ---------------------------------------------------------------------------
# Banner


def banner_background(x, y):
    t = x / (BANNER_W - 1)
    base = mix(NAVY, DEEP, smoothstep(t * 1.1))
    base = mix(base, MID, 0.55 * smoothstep((t - 0.35) / 0.65))
    # A soft light from the top edge, a little darker towards the bottom.
    v = y / (BANNER_H - 1)
    base = mix(base, WHITE, 0.07 * (1.0 - v) ** 2)
    return mix(base, NAVY, 0.18 * v * v)


def wave(amplitude, wavelength, phase, centre, x_from=-10, x_to=BANNER_W + 10):
    pts = []
    x = float(x_from)
    while x <= x_to:
        # A slow swell rising towards the right.
        swell = 0.6 + 0.4 * (x / BANNER_W)
        y = centre - amplitude * swell * math.sin(2 * math.pi * x / wavelength + phase)
        pts.append((x, y))
        x += 3.0
    return pts


def draw_mark(canvas, cx, cy, r):
    """The mark: a small player inside a clockwise refresh arrow."""
    band = max(1.2, r * 0.16)
    ring_r = r - band / 2.0
    gap_start = math.radians(-65)
    gap_end = math.radians(-25)
    # Soft halo behind the mark.
    canvas.fill([circle(cx, cy, r + 3.0)], WHITE, 0.06)
    canvas.fill([arc_band(cx, cy, ring_r - band / 2, ring_r + band / 2,
                          gap_end, gap_start + 2 * math.pi)], ICE)
    canvas.fill([arrow_head(cx, cy, ring_r, gap_start, band * 2.6, band * 2.0)], ICE)
    # Player body, screen and wheel.
    pw, ph = r * 0.80, r * 1.12
    body = rounded_rect(cx - pw / 2, cy - ph / 2, cx + pw / 2, cy + ph / 2, r * 0.16)
    canvas.fill([body], WHITE)
    screen = rounded_rect(cx - pw / 2 + r * 0.10, cy - ph / 2 + r * 0.10,
                          cx + pw / 2 - r * 0.10, cy - ph / 2 + r * 0.50, r * 0.05)
    canvas.fill([screen], MID)
    wheel_cy = cy + ph / 2 - r * 0.33
    canvas.fill([circle(cx, wheel_cy, r * 0.22), circle(cx, wheel_cy, r * 0.09, reverse=True)],
                DEEP)


def make_banner(fonts):
    bold, regular = fonts
    canvas = Canvas(BANNER_W, BANNER_H, background=NAVY)
    canvas.fill([[(0, 0), (BANNER_W, 0), (BANNER_W, BANNER_H), (0, BANNER_H)]],
                banner_background)

    # Waves: two light ribbons and two thin lines sweeping across the right.
    canvas.fill([stroke_polyline(wave(9.0, 260.0, 0.6, 60.0), 16.0)], SKY, 0.07)
    canvas.fill([stroke_polyline(wave(7.0, 330.0, 2.0, 70.0), 22.0)], SKY, 0.06)
    canvas.fill([stroke_polyline(wave(8.0, 260.0, 0.9, 52.0, 270), 1.4, 90.0)], ICE, 0.30)
    canvas.fill([stroke_polyline(wave(6.0, 300.0, 2.3, 63.0, 290), 1.0, 90.0)], ICE, 0.20)
    canvas.fill([stroke_polyline(wave(5.0, 220.0, 4.0, 74.0, 310), 0.9, 90.0)], ICE, 0.14)

    draw_mark(canvas, 46.0, 42.0, 25.0)

    # Title and subtitle.
    left = 86.0
    title, _ = text_polygons(bold, "Revivix", 36.0, left, 47.0, tracking=0.6)
    shadow = [[(px + 0.0, py + 1.2) for px, py in poly] for poly in title]
    canvas.fill(shadow, NAVY, 0.35)
    canvas.fill(title, WHITE)
    subtitle, _ = text_polygons(regular, "Firmware repair wizard", 13.0, left + 1.5, 67.0,
                                tracking=0.45)
    canvas.fill(subtitle, ICE, 0.95)

    # Maker's name, small and spaced, top right.
    maker = "ZANTERIX"
    size, tracking = 10.0, 2.4
    width = text_width(bold, maker, size, tracking)
    name, _ = text_polygons(bold, maker, size, BANNER_W - 16.0 - width, 21.0, tracking)
    canvas.fill(name, ICE, 0.75)

    # A light hairline along the bottom edge.
    canvas.fill([[(0, BANNER_H - 1), (BANNER_W, BANNER_H - 1), (BANNER_W, BANNER_H),
                  (0, BANNER_H)]], SKY, 0.55)
    return canvas


def bmp_24(canvas):
    pixels = canvas.bytes_rgb(bottom_up=True, bgr=True, pad=True)
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    return file_header + info + pixels


# ---------------------------------------------------------------------------
# Icon


def make_icon_image(size):
    c = Canvas(size, size)
    s = size / 48.0
    cx = cy = size / 2.0

    # Round tile in a blue gradient with a hairline rim.
    tile_r = size / 2.0 - 0.5 * s
    top, bottom = hex_rgb("3a8fd6"), hex_rgb("0f4176")

    def tile_colour(x, y):
        return mix(top, bottom, smoothstep(y / size))

    c.fill([circle(cx, cy, tile_r, steps=96)], tile_colour)
    if size >= 32:
        c.fill([circle(cx, cy, tile_r, steps=96), circle(cx, cy, tile_r - 1.0, steps=96,
                                                          reverse=True)], NAVY, 0.55)

    if size <= 16:
        draw_small_icon_motif(c, cx, cy)
        return c

    # Refresh arrow around the player.
    band = 3.6 * s
    ring_r = 17.0 * s
    gap_start, gap_end = math.radians(-70), math.radians(-20)
    c.fill([arc_band(cx, cy, ring_r - band / 2, ring_r + band / 2, gap_end,
                     gap_start + 2 * math.pi, steps=64)], WHITE)
    head_w = band * 2.5
    c.fill([arrow_head(cx, cy, ring_r, gap_start, head_w, head_w * 0.8)], WHITE)

    # The player: body, screen and wheel.
    pw, ph = 14.0 * s, 20.0 * s
    x0, y0 = round(cx - pw / 2), round(cy - ph / 2)
    x1, y1 = x0 + pw, y0 + ph
    c.fill([rounded_rect(x0, y0, x1, y1, 2.5 * s)], ICE)
    inset = 2.0 * s
    c.fill([rounded_rect(x0 + inset, y0 + inset, x1 - inset, y0 + inset + ph * 0.36,
                         0.8 * s)], MID)
    wheel_cy = y1 - inset - ph * 0.22
    wheel_r = ph * 0.2
    c.fill([circle((x0 + x1) / 2.0, wheel_cy, wheel_r),
            circle((x0 + x1) / 2.0, wheel_cy, wheel_r * 0.42, reverse=True)], DEEP)
    return c


def draw_small_icon_motif(c, cx, cy):
    """The 16 x 16 version: the same motif laid out on whole pixels."""
    band = 1.5
    ring_r = 5.6
    gap_start, gap_end = math.radians(-80), math.radians(-10)
    c.fill([arc_band(cx, cy, ring_r - band / 2, ring_r + band / 2, gap_end,
                     gap_start + 2 * math.pi, steps=48)], WHITE)
    c.fill([arrow_head(cx, cy, ring_r, gap_start, 4.2, 3.0)], WHITE)
    c.fill([[(6, 5), (10, 5), (10, 11), (6, 11)]], ICE)
    c.fill([[(7, 6), (9, 6), (9, 8), (7, 8)]], MID)
    c.fill([[(7.5, 9), (8.5, 9), (8.5, 10), (7.5, 10)]], DEEP)


def icon_entry_bytes(canvas):
    size = canvas.w
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        mask_row = bytearray(mask_stride)
        for x in range(size):
            a = to_byte(canvas.alpha[y][x])
            r, g, b = (to_byte(v) for v in canvas.rgb[y][x]) if a else (0, 0, 0)
            pixels += bytes((b, g, r, a))
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                       len(pixels) + len(mask), 0, 0, 0, 0)
    return info + bytes(pixels) + bytes(mask)


def ico(canvases):
    count = len(canvases)
    header = struct.pack("<HHH", 0, 1, count)
    directory = bytearray()
    images = bytearray()
    offset = 6 + 16 * count
    for canvas in canvases:
        data = icon_entry_bytes(canvas)
        size = canvas.w
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                                 len(data), offset)
        images += data
        offset += len(data)
    return header + bytes(directory) + bytes(images)


# ---------------------------------------------------------------------------
# PNG previews


def png(canvas, with_alpha):
    raw = bytearray()
    for y in range(canvas.h):
        raw.append(0)
        for x in range(canvas.w):
            r, g, b = (to_byte(v) for v in canvas.rgb[y][x])
            raw += bytes((r, g, b))
            if with_alpha:
                raw.append(to_byte(canvas.alpha[y][x]))

    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))

    colour_type = 6 if with_alpha else 2
    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def enlarged(canvas, factor, backdrop):
    big = Canvas(canvas.w * factor, canvas.h * factor, background=backdrop)
    for y in range(big.h):
        for x in range(big.w):
            sx, sy = x // factor, y // factor
            a = canvas.alpha[sy][sx]
            big.rgb[y][x] = mix(backdrop, canvas.rgb[sy][sx], a)
    return big


# ---------------------------------------------------------------------------


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--font-dir", default=DEFAULT_FONT_DIR)
    parser.add_argument("--preview", metavar="DIR", help="also write PNG previews here")
    args = parser.parse_args(argv)

    bold_path = os.path.join(args.font_dir, "DejaVuSans-Bold.ttf")
    regular_path = os.path.join(args.font_dir, "DejaVuSans.ttf")
    for path in (bold_path, regular_path):
        if not os.path.exists(path):
            print("error: font not found: %s (install fonts-dejavu-core)" % path,
                  file=sys.stderr)
            return 1
    fonts = (Font(bold_path), Font(regular_path))

    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res_dir = os.path.join(root, "src", "main", "res")
    os.makedirs(res_dir, exist_ok=True)

    banner = make_banner(fonts)
    with open(os.path.join(res_dir, "banner.bmp"), "wb") as handle:
        handle.write(bmp_24(banner))
    icons = [make_icon_image(size) for size in ICON_SIZES]
    with open(os.path.join(res_dir, "fernclip.ico"), "wb") as handle:
        handle.write(ico(icons))
    print("wrote src/main/res/banner.bmp and src/main/res/fernclip.ico")

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        with open(os.path.join(args.preview, "banner.png"), "wb") as handle:
            handle.write(png(banner, with_alpha=False))
        light = hex_rgb("edeeeb")
        for canvas in icons:
            name = "icon-%d.png" % canvas.w
            with open(os.path.join(args.preview, name), "wb") as handle:
                handle.write(png(canvas, with_alpha=True))
            name = "icon-%d-x8.png" % canvas.w
            with open(os.path.join(args.preview, name), "wb") as handle:
                handle.write(png(enlarged(canvas, 8, light), with_alpha=False))
        print("wrote previews to %s" % args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main())
