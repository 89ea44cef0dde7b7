#!/usr/bin/env python3
"""Draws Murrelet's artwork and writes PNG, BMP, ICO and SVG files next to this script.

Only the standard library is used, so the files can be regenerated on any machine
with Python 3; the builds use the committed results and need no image tools.
Shapes are filled with an anti-aliased scanline rasteriser (4 sub-rows per pixel,
exact horizontal coverage), which keeps 16 px glyphs crisp.
"""

import math
import os
import struct
import zlib

OUT = os.path.dirname(os.path.abspath(__file__))
SUBROWS = 4


# ---------------------------------------------------------------- colours

def rgb(hexstr, a=1.0):
    h = hexstr.lstrip('#')
    return (int(h[0:2], 16) / 255, int(h[2:4], 16) / 255, int(h[4:6], 16) / 255, a)


def vgrad(y0, c0, y1, c1):
    """A vertical gradient from c0 at y0 to c1 at y1 (design units)."""
    def at(_x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(4))
    at.svg = (y0, c0, y1, c1)
    return at


# ---------------------------------------------------------------- geometry

def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def ellipse(cx, cy, rx, ry=None, steps=64):
    ry = rx if ry is None else ry
    return [(cx + rx * math.cos(2 * math.pi * i / steps), cy + ry * math.sin(2 * math.pi * i / steps))
            for i in range(steps)]


def rrect(x0, y0, x1, y1, r, steps=10):
    pts = []
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    for cx, cy, start in corners:
        for i in range(steps + 1):
            a = math.radians(start + 90 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def gear(cx, cy, r_out, r_in, teeth, phase=0.0):
    pts = []
    step = 2 * math.pi / teeth
    for k in range(teeth):
        a = phase + k * step
        # each tooth: flank up, flat top, flank down, flat root
        for frac, r in ((-0.30, r_in), (-0.18, r_out), (0.18, r_out), (0.30, r_in)):
            pts.append((cx + r * math.cos(a + frac * step), cy + r * math.sin(a + frac * step)))
        for frac in (0.38, 0.5, 0.62):
            pts.append((cx + r_in * math.cos(a + frac * step), cy + r_in * math.sin(a + frac * step)))
    return pts


def thick_line(p, q, w):
    """A stroke segment as a quad; round joins come from discs at the points."""
    dx, dy = q[0] - p[0], q[1] - p[1]
    n = math.hypot(dx, dy) or 1.0
    ox, oy = -dy / n * w / 2, dx / n * w / 2
    return [(p[0] + ox, p[1] + oy), (q[0] + ox, q[1] + oy), (q[0] - ox, q[1] - oy), (p[0] - ox, p[1] - oy)]


def bezier(p0, p1, p2, p3, steps=24):
    out = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        out.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return out


# ---------------------------------------------------------------- canvas

class Canvas:
    """Straight-alpha RGBA floats; the design is drawn in units of `unit` pixels."""

    def __init__(self, w, h, unit=1.0, svg=False):
        self.w, self.h, self.unit = w, h, unit
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]
        self.svg = [] if svg else None

    def fill(self, contours, paint, opacity=1.0):
        if contours and isinstance(contours[0], tuple):
            contours = [contours]
        s = self.unit
        polys = [[(x * s, y * s) for x, y in c] for c in contours]
        if self.svg is not None:
            self._record(contours, paint, opacity)
        cov = self._coverage(polys)
        for (x, y), c in cov.items():
            col = paint(x / s + 0.5 / s, y / s + 0.5 / s) if callable(paint) else paint
            self._over(x, y, col, min(1.0, c) * opacity)

    def stroke(self, points, width, paint, closed=False):
        pts = list(points) + ([points[0]] if closed else [])
        contours = [thick_line(pts[i], pts[i + 1], width) for i in range(len(pts) - 1)]
        contours += [ellipse(x, y, width / 2, steps=16) for x, y in pts]
        if self.svg is not None:
            col = paint if not callable(paint) else paint(0, 0)
            self.svg.append('<path d="M%s%s" fill="none" stroke="%s" stroke-opacity="%.3f" stroke-width="%.2f" '
                            'stroke-linejoin="round" stroke-linecap="round"/>'
                            % (' L'.join('%.2f,%.2f' % p for p in points), ' Z' if closed else '',
                               hexcol(col), col[3], width))
        # union via a shared coverage mask so overlaps do not darken
        self.fill_union(contours, paint)

    def fill_union(self, contours, paint):
        s = self.unit
        total = {}
        for c in contours:
            for key, v in self._coverage([[(x * s, y * s) for x, y in c]]).items():
                total[key] = max(total.get(key, 0.0), v)
        for (x, y), c in total.items():
            col = paint(x / s + 0.5 / s, y / s + 0.5 / s) if callable(paint) else paint
            self._over(x, y, col, min(1.0, c))

    def _coverage(self, polys):
        edges = []
        for poly in polys:
            for i in range(len(poly)):
                (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % len(poly)]
                if y0 != y1:
                    edges.append((x0, y0, x1, y1))
        cov = {}
        if not edges:
            return cov
        ymin = max(0, int(math.floor(min(min(e[1], e[3]) for e in edges))))
        ymax = min(self.h - 1, int(math.ceil(max(max(e[1], e[3]) for e in edges))))
        for py in range(ymin, ymax + 1):
            for sub in range(SUBROWS):
                sy = py + (sub + 0.5) / SUBROWS
                xs = []
                for x0, y0, x1, y1 in edges:
                    if (y0 <= sy < y1) or (y1 <= sy < y0):
                        xs.append((x0 + (sy - y0) * (x1 - x0) / (y1 - y0), 1 if y1 > y0 else -1))
                xs.sort()
                wind = 0
                for i in range(len(xs) - 1):
                    wind += xs[i][1]
                    if wind != 0:
                        self._span(cov, py, xs[i][0], xs[i + 1][0])
        return cov

    def _span(self, cov, py, a, b):
        a, b = max(a, 0.0), min(b, float(self.w))
        if b <= a:
            return
        w = 1.0 / SUBROWS
        ia, ib = int(a), int(b)
        if ia == ib:
            cov[(ia, py)] = cov.get((ia, py), 0.0) + (b - a) * w
            return
        cov[(ia, py)] = cov.get((ia, py), 0.0) + (ia + 1 - a) * w
        for x in range(ia + 1, ib):
            cov[(x, py)] = cov.get((x, py), 0.0) + w
        if ib < self.w:
            cov[(ib, py)] = cov.get((ib, py), 0.0) + (b - ib) * w

    def _over(self, x, y, col, cov):
        a = col[3] * cov
        if a <= 0:
            return
        d = self.px[y * self.w + x]
        out_a = a + d[3] * (1 - a)
        for i in range(3):
            d[i] = (col[i] * a + d[i] * d[3] * (1 - a)) / out_a
        d[3] = out_a

    # ------------------------------------------------------------ SVG copy of the drawing

    def _record(self, contours, paint, opacity):
        d = ' '.join('M' + ' L'.join('%.2f,%.2f' % p for p in c) + ' Z' for c in contours)
        if callable(paint):
            # the gradient's middle colour: flat fills render the same in every SVG reader
            _, c0, _, c1 = paint.svg
            paint = tuple((a + b) / 2 for a, b in zip(c0, c1))
        fill, alpha = hexcol(paint), paint[3] * opacity
        self.svg.append('<path d="%s" fill="%s" fill-opacity="%.3f"/>' % (d, fill, alpha))

    def rgba8(self):
        out = []
        for r, g, b, a in self.px:
            out.append(tuple(max(0, min(255, int(round(v * 255)))) for v in (r, g, b, a)))
        return out


def hexcol(c):
    return '#%02x%02x%02x' % tuple(int(round(v * 255)) for v in c[:3])


def disabled(pixels):
    """Greyed look: luminance, pulled towards light grey, and faded."""
    out = []
    for r, g, b, a in pixels:
        lum = 0.299 * r + 0.587 * g + 0.114 * b
        v = int(round(lum * 0.45 + 150 * 0.55))
        out.append((v, v, v, int(round(a * 0.55))))
    return out


# ---------------------------------------------------------------- file writers

def write_png(name, w, h, pixels):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for p in pixels[y * w:(y + 1) * w]:
            raw.extend(p)

    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
    data = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(data)
    return data


def dib_rows(w, h, pixels, bpp):
    """Bottom-up BGR(A) rows, each padded to 4 bytes."""
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b, a in pixels[y * w:(y + 1) * w]:
            row.extend((b, g, r, a) if bpp == 32 else (b, g, r))
        row.extend(b'\0' * ((-len(row)) % 4))
        rows.extend(row)
    return bytes(rows)


def write_bmp(name, w, h, pixels, bpp, background=(0xf0, 0xf0, 0xf0)):
    if bpp == 24:
        # opaque: flatten onto the dialog face colour
        pixels = [tuple(int(round((c * a + bg * (255 - a)) / 255)) for c, bg in zip((r, g, b), background)) + (255,)
                  for r, g, b, a in pixels]
    bits = dib_rows(w, h, pixels, bpp)
    # BI_RGB; a 32-bit file carries straight (not premultiplied) alpha in the fourth byte
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, 0, len(bits), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(head + info + bits)


def write_ico(name, images):
    """images: list of (size, pixels, png_bytes or None). 256 px goes in as PNG, the rest as 32-bit DIBs."""
    blobs = []
    for size, pixels, png in images:
        if png is not None:
            blobs.append(png)
            continue
        bits = dib_rows(size, size, pixels, 32)
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            row = bytearray((size + 7) // 8)
            for x in range(size):
                if pixels[y * size + x][3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            row.extend(b'\0' * ((-len(row)) % 4))
            mask.extend(row)
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(bits) + len(mask), 0, 0, 0, 0)
        blobs.append(info + bits + bytes(mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _, _), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(out + b''.join(blobs))


# ---------------------------------------------------------------- the drawings

def draw_handset(c, x0, y0, x1, y1, bolt=True, detail=True, small=False):
    """A handset in the box (x0,y0)-(x1,y1); proportions chosen to stay readable small."""
    w = x1 - x0
    r = w * 0.18
    c.fill(rrect(x0, y0, x1, y1, r), rgb('#1f262e'))
    e = w * 0.06
    c.fill(rrect(x0 + e, y0 + e, x1 - e, y1 - e, r - e), vgrad(y0, rgb('#4a5563'), y1, rgb('#2c333c')))
    sx0, sx1 = x0 + w * 0.14, x1 - w * 0.14
    sy0, sy1 = y0 + w * 0.30, y1 - w * 0.34
    if small:
        # a darker screen so the bolt still stands out when it is only a few pixels
        c.fill(rect(sx0, sy0, sx1, sy1), vgrad(sy0, rgb('#2f8f8a'), sy1, rgb('#1c5f66')))
    else:
        c.fill(rect(sx0, sy0, sx1, sy1), vgrad(sy0, rgb('#8fe0cf'), sy1, rgb('#3aa39a')))
    if detail:
        c.fill(rrect(x0 + w * 0.36, y0 + w * 0.12, x1 - w * 0.36, y0 + w * 0.19, w * 0.035), rgb('#151a20'))
        cy = (sy1 + y1) / 2
        c.fill(ellipse((x0 + x1) / 2, cy, w * 0.09), rgb('#151a20'))
    if bolt:
        cx, cy = (sx0 + sx1) / 2, (sy0 + sy1) / 2
        bw, bh = (sx1 - sx0) * 0.78, (sy1 - sy0) * 0.72
        if small:
            c.fill(bolt_points(cx, cy, bw * 1.1, bh * 1.05), rgb('#ffe03a'))
        else:
            draw_bolt(c, cx, cy, bw, bh, rgb('#ffd83a'), rgb('#8a5a00'), max(0.6, bw * 0.06))


BOLT = [(0.62, 0.0), (0.05, 0.56), (0.44, 0.56), (0.30, 1.0), (0.95, 0.40), (0.55, 0.40), (0.78, 0.0)]


def bolt_points(cx, cy, w, h):
    return [(cx - w / 2 + u * w, cy - h / 2 + v * h) for u, v in BOLT]


def draw_bolt(c, cx, cy, w, h, fill, outline, line):
    pts = bolt_points(cx, cy, w, h)
    c.stroke(pts, line * 2, outline, closed=True)
    c.fill(pts, vgrad(cy - h / 2, fill, cy + h / 2, rgb('#f2a20c')))


def picture():
    c = Canvas(52, 210)
    c.fill(rect(0, 0, 52, 210), vgrad(0, rgb('#6d8aa6'), 210, rgb('#3b556e')))
    c.fill(rect(51, 0, 52, 210), rgb('#ffffff', 0.25))
    # cable from the handset's socket down to the plug, drawn under both
    path = bezier((26, 96), (26, 122), (10, 120), (12, 140)) + bezier((12, 140), (14, 160), (40, 152), (36, 170))[1:]
    c.stroke(path, 4.2, rgb('#1f2a36'))
    c.stroke(path, 2.6, rgb('#d6dde4'))
    draw_handset(c, 12, 14, 40, 94)
    c.fill(rrect(22, 92, 30, 98, 1.5), rgb('#1f262e'))
    # plug: body, collar and two pins
    c.fill(rrect(27, 168, 45, 194, 3), rgb('#1f2a36'))
    c.fill(rrect(28, 169, 44, 193, 2.4), vgrad(169, rgb('#f2f4f6'), 193, rgb('#b9c3cc')))
    for gy in (176, 180, 184):
        c.fill(rect(31, gy, 41, gy + 1), rgb('#8e9aa6'))
    for px in (31, 38):
        c.fill(rrect(px - 0.5, 193, px + 3.5, 205, 1), rgb('#1f2a36'))
        c.fill(rect(px, 193, px + 3, 204.5), vgrad(193, rgb('#f3d58a'), 205, rgb('#c9a24a')))
    return c


def gear_glyph(unit):
    c = Canvas(int(16 * unit), int(16 * unit), unit)
    hole = ellipse(8, 8, 2.3, steps=32)[::-1]
    # six broad teeth: eight run together at 16 px
    c.fill([gear(8, 8, 7.7, 5.5, 6, math.pi / 6), hole], rgb('#2f3b48'))
    c.fill([gear(8, 8, 6.7, 4.5, 6, math.pi / 6), ellipse(8, 8, 3.3, steps=32)[::-1]],
           vgrad(1, rgb('#a9b8c7'), 15, rgb('#5d6f82')))
    return c


def start_glyph(unit):
    c = Canvas(int(16 * unit), int(16 * unit), unit)
    c.fill(ellipse(8, 8, 7.6), rgb('#1e6b2a'))
    c.fill(ellipse(8, 8, 6.7), vgrad(1, rgb('#7bd46f'), 15, rgb('#2e9a3c')))
    draw_bolt(c, 8.1, 8, 8.4, 11.0, rgb('#fff06a'), rgb('#5c4300'), 0.45)
    return c


def stop_glyph(unit):
    c = Canvas(int(16 * unit), int(16 * unit), unit)
    c.fill(rrect(1.5, 1.5, 14.5, 14.5, 2.5), rgb('#7a1410'))
    c.fill(rrect(2.5, 2.5, 13.5, 13.5, 1.6), vgrad(2, rgb('#f2675c'), 14, rgb('#c1261d')))
    c.fill(rrect(3.5, 3.0, 12.5, 6.0, 1.2), rgb('#ffffff', 0.28))
    return c


def app_icon(size, svg=False):
    unit = size / 256
    c = Canvas(size, size, unit, svg)
    if size <= 16:
        # small sizes: a wider handset and a bolt that fills the screen, so both still read
        draw_handset(c, 40, 0, 216, 256, detail=False, small=True)
    elif size <= 48:
        draw_handset(c, 52, 4, 204, 252, detail=True)
    else:
        draw_handset(c, 60, 8, 196, 248)
    return c


def tray_charging_icon(size):
    """The notification-area icon's look while a run goes, as the Linux front end draws it: the program's
    icon with a green round badge in the lower right corner (5/8 of the side, a white ring) carrying the
    start button's glyph."""
    c = app_icon(size)
    badge = size * 5 // 8
    ring = max(1, size // 16)
    r = (badge - 1) / 2
    cx = cy = size - badge + r
    u = 1 / c.unit  # the icon's canvas is drawn in 256ths of its side; the badge is placed in pixels
    c.fill(ellipse(cx * u, cy * u, (r + ring / 2) * u), rgb('#ffffff'))
    c.fill(ellipse(cx * u, cy * u, (r - ring / 2) * u), rgb('#1e8e3e'))
    inset = badge // 5
    side = badge - 2 * inset
    glyph = start_glyph(side / 16)
    x0 = y0 = size - badge + inset
    for y in range(glyph.h):
        for x in range(glyph.w):
            r_, g, b, a = glyph.px[y * glyph.w + x]
            c._over(x0 + x, y0 + y, (r_, g, b, 1.0), a)
    return c


def main():
    pic = picture()
    write_png('picture.png', pic.w, pic.h, pic.rgba8())
    write_bmp('picture.bmp', pic.w, pic.h, pic.rgba8(), 24)

    for name, make in (('settings', gear_glyph), ('start', start_glyph), ('stop', stop_glyph)):
        for unit, suffix in ((1, ''), (2, '@2x')):
            img = make(unit)
            normal, grey = img.rgba8(), disabled(img.rgba8())
            for base, pixels in ((name, normal), (name + '_disabled', grey)):
                write_png(base + suffix + '.png', img.w, img.h, pixels)
                write_bmp(base + suffix + '.bmp', img.w, img.h, pixels, 32)

    icons = []
    for size in (16, 20, 24, 32, 48, 256):
        img = app_icon(size, svg=(size == 256))
        png = write_png('murrelet.png', size, size, img.rgba8()) if size == 256 else None
        icons.append((size, img.rgba8(), png))
        if size == 256:
            with open(os.path.join(OUT, 'murrelet.svg'), 'w') as f:
                f.write('<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n'
                        + '\n'.join(img.svg) + '\n</svg>\n')
    write_ico('murrelet.ico', icons)
    # The notification-area icon while a run goes, at the small icon's sizes for 100 %, 125 %, 150 % and
    # 200 %, and 48 px for the large-icon views that show it.
    write_ico('murrelet-charging.ico', [(size, tray_charging_icon(size).rgba8(), None) for size in (16, 20, 24, 32, 48)])
    # The desktop's icon theme sizes besides 256 (the Linux package installs them in hicolor).
    for size in (48, 64, 128):
        img = app_icon(size)
        write_png('murrelet-%d.png' % size, size, size, img.rgba8())


if __name__ == '__main__':
    main()
