#!/usr/bin/env python3
"""Draws the pictures of the bitmap library and writes them as 24-bit .bmp
files, with a resource script that names them by the ids of res/resource.h.

    make_bitmaps.py OUTDIR

writes OUTDIR/*.bmp and OUTDIR/bitmaps.rc (which includes "resource.h").

The pictures: page backgrounds (147 wizard pages, 148 options page, 153
smaller dialogs) with a header band and a printer motif, the button skin
(149 normal, 150 pressed, 151 hover, 152 disabled) and the connection icons of
the options page (144 wired, 145 USB, 146 wireless, 12010 one-key wireless).
Shapes are drawn from signed distances, which gives smooth edges without any
imaging library.
"""
import math
import os
import struct
import sys


# --- canvas -----------------------------------------------------------------

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


class Canvas:
    def __init__(self, width, height, colour=(255, 255, 255)):
        self.w, self.h = width, height
        self.px = [[tuple(map(float, colour)) for _ in range(width)] for _ in range(height)]

    def fill(self, colour_at):
        """Paints every pixel with colour_at(x, y) (pixel centres)."""
        for y in range(self.h):
            row = self.px[y]
            for x in range(self.w):
                row[x] = colour_at(x + 0.5, y + 0.5)

    def shape(self, dist, colour, box=None, opacity=1.0):
        """Blends `colour` (a tuple or colour(x, y)) where the signed distance
        dist(x, y) is negative, with one pixel of smooth edge."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        x1, y1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        paint = colour if callable(colour) else (lambda _x, _y: colour)
        for y in range(y0, y1):
            row = self.px[y]
            cy = y + 0.5
            for x in range(x0, x1):
                cx = x + 0.5
                a = clamp(0.5 - dist(cx, cy)) * opacity
                if a > 0.0:
                    row[x] = mix(row[x], paint(cx, cy), a)

    def bmp(self):
        """The picture as a 24-bit bottom-up Windows bitmap file."""
        stride = (self.w * 3 + 3) & ~3
        pad = b'\0' * (stride - self.w * 3)
        rows = []
        for row in reversed(self.px):
            line = bytearray()
            for r, g, b in row:
                line += bytes((int(round(clamp(b, 0, 255))), int(round(clamp(g, 0, 255))),
                               int(round(clamp(r, 0, 255)))))
            rows.append(bytes(line) + pad)
        data = b''.join(rows)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
        return head + info + data


# --- signed distances ---------------------------------------------------------

def round_rect(x0, y0, x1, y1, r):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def d(x, y):
        qx, qy = abs(x - cx) - (hw - r), abs(y - cy) - (hh - r)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return d


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, r):
    """A stroke from a to b with round ends, half width r."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def d(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / length2)
        return math.hypot(x - ax - dx * t, y - ay - dy * t) - r
    return d


def arc(cx, cy, radius, start, end, r):
    """A stroke along the circle from angle `start` to `end` (degrees,
    counter-clockwise from +x with y up), half width r, round ends."""
    a0, a1 = math.radians(start), math.radians(end)
    ends = [(cx + radius * math.cos(a), cy - radius * math.sin(a)) for a in (a0, a1)]

    def d(x, y):
        ang = math.atan2(-(y - cy), x - cx)
        while ang < a0:
            ang += 2 * math.pi
        if ang <= a1:
            return abs(math.hypot(x - cx, y - cy) - radius) - r
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - r
    return d


def polygon(points):
    n = len(points)

    def d(x, y):
        best = float('inf')
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            t = clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey or 1e-9))
            best = min(best, math.hypot(x - ax - ex * t, y - ay - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (ey or 1e-9):
                inside = not inside
        return -best if inside else best
    return d


def union(*ds):
    return lambda x, y: min(d(x, y) for d in ds)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def vertical(top, bottom, y0, y1):
    return lambda _x, y: mix(top, bottom, clamp((y - y0) / float(y1 - y0 or 1)))


def horizontal(left, right, x0, x1):
    return lambda x, _y: mix(left, right, clamp((x - x0) / float(x1 - x0 or 1)))


# --- palette ----------------------------------------------------------------

WHITE = (255, 255, 255)
BODY_TOP = (255, 255, 255)
BODY_BOTTOM = (229, 237, 247)
HEADER_LEFT = (20, 70, 136)
HEADER_RIGHT = (52, 134, 206)
ACCENT = (112, 192, 242)
FOOTER = (222, 232, 244)
FOOTER_LINE = (196, 212, 232)
INK = (28, 96, 176)
INK_DARK = (18, 64, 124)
GREEN = (70, 190, 100)


# --- page backgrounds --------------------------------------------------------

def printer_motif(c, x0, y0, s, waves=False):
    """A simple printer, about 80 x 56 units of `s` pixels, light on the
    header band, with the top-left corner at (x0, y0)."""
    def p(x, y):
        return x0 + x * s, y0 + y * s

    def box(x, y, w, h):
        ax, ay = p(x, y)
        bx, by = p(x + w, y + h)
        return ax, ay, bx, by

    # sheet in the feeder
    c.shape(round_rect(*box(22, 0, 36, 20), 1.5 * s), (250, 252, 255), box(22, 0, 36, 20))
    # housing with a soft shadow
    c.shape(round_rect(*box(7, 17, 68, 30), 6 * s), (10, 40, 90), box(5, 15, 72, 34), 0.25)
    body = vertical((246, 250, 255), (206, 222, 242), p(0, 15)[1], p(0, 45)[1])
    c.shape(round_rect(*box(6, 15, 68, 30), 6 * s), body, box(6, 15, 68, 30))
    # top lid and paper slot
    c.shape(round_rect(*box(10, 19, 60, 7), 3 * s), (214, 228, 246), box(10, 19, 60, 7))
    c.shape(round_rect(*box(18, 33, 44, 4), 2 * s), (120, 150, 190), box(18, 33, 44, 4))
    # printed sheet coming out
    c.shape(round_rect(*box(22, 35, 36, 21), 1.5 * s), WHITE, box(22, 35, 36, 21))
    for line in (41, 45, 49):
        ax, ay = p(26, line)
        bx, _ = p(54 if line != 49 else 44, line)
        c.shape(segment(ax, ay, bx, ay, 0.9 * s), (150, 182, 222), (ax - 2, ay - 2, bx + 2, ay + 2))
    # status light
    lx, ly = p(66, 23)
    c.shape(circle(lx, ly, 2.6 * s), GREEN, (lx - 4 * s, ly - 4 * s, lx + 4 * s, ly + 4 * s))
    if waves:
        wx, wy = p(82, 22)
        for i, r in enumerate((6, 11, 16)):
            c.shape(arc(wx, wy, r * s, -40, 40, 1.3 * s), (230, 244, 255),
                    (wx - 2, wy - 20 * s, wx + 20 * s, wy + 20 * s), 0.9 - i * 0.15)


def page_background(width, height, header, options=False):
    c = Canvas(width, height)
    footer_top = height - int(height * 0.15)
    c.fill(vertical(BODY_TOP, BODY_BOTTOM, header, footer_top))

    # header band: horizontal gradient, a gloss on its upper half and two
    # soft light discs
    band = horizontal(HEADER_LEFT, HEADER_RIGHT, 0, width)
    c.shape(lambda x, y: y - header, band, (0, 0, width, header + 1))
    # (a distance growing with y: the gloss fades out towards the middle)
    c.shape(lambda x, y: y / (header * 0.55) - 0.5, WHITE, (0, 0, width, header * 0.55), 0.22)
    for cx, cy, r, a in ((width * 0.72, -header * 0.9, header * 1.7, 0.08), (width * 0.9, header * 1.2, header, 0.06)):
        c.shape(lambda x, y, cx=cx, cy=cy, r=r: max(circle(cx, cy, r)(x, y), y - header), WHITE,
                (cx - r, 0, cx + r, header), a)
    # accent line and a soft shadow under the band
    c.shape(lambda x, y: abs(y - header - 1.5) - 1.5, horizontal(ACCENT, (170, 222, 252), 0, width),
            (0, header - 1, width, header + 4))
    shade = 8
    for i in range(shade):
        y = header + 3 + i
        c.shape(lambda x, yy, y=y: abs(yy - y - 0.5) - 0.5, (60, 100, 150), (0, y, width, y + 1),
                0.10 * (1 - i / float(shade)))

    scale = header / 72.0
    printer_motif(c, width - 118 * scale, header * 0.12, 0.78 * scale, waves=options)

    # soft swells in the lower right of the body
    for cx, cy, r, col, a in ((width * 1.05, height * 1.05, height * 0.55, (200, 220, 244), 0.35),
                              (width * 0.88, height * 1.25, height * 0.55, (186, 210, 240), 0.25)):
        c.shape(circle(cx, cy, r), col, (cx - r, cy - r, cx + r, cy + r), a)
    if options:
        # a faint panel behind the connection methods
        x0, y0, x1, y1 = width * 0.04, header + height * 0.06, width * 0.96, footer_top - height * 0.03
        c.shape(round_rect(x0, y0, x1, y1, 10 * scale), WHITE, (x0, y0, x1, y1), 0.55)
        c.shape(subtract(round_rect(x0, y0, x1, y1, 10 * scale), round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 9 * scale)),
                FOOTER_LINE, (x0, y0, x1, y1), 0.8)

    # footer: where the buttons sit
    c.shape(lambda x, y: footer_top - y, vertical(FOOTER, (212, 224, 240), footer_top, height),
            (0, footer_top, width, height))
    c.shape(lambda x, y: abs(y - footer_top - 0.5) - 0.5, FOOTER_LINE, (0, footer_top, width, footer_top + 1))
    c.shape(lambda x, y: abs(y - footer_top - 1.5) - 0.5, WHITE, (0, footer_top + 1, width, footer_top + 2))
    return c


# --- button skin ---------------------------------------------------------------

BUTTON_W, BUTTON_H = 96, 30
BUTTON_CORNER = (234, 241, 249)  # what shows at the rounded corners: between body and footer


def button(border, top, bottom, gloss, glow=None, inset=False):
    c = Canvas(BUTTON_W, BUTTON_H, BUTTON_CORNER)
    w, h, r = BUTTON_W, BUTTON_H, 7
    outer = round_rect(0.5, 0.5, w - 0.5, h - 0.5, r)
    c.shape(outer, border)
    inner = round_rect(1.5, 1.5, w - 1.5, h - 1.5, r - 1)
    c.shape(inner, vertical(top, bottom, 1.5, h - 1.5))
    if glow:
        c.shape(subtract(inner, round_rect(3, 3, w - 3, h - 3, r - 2)), glow, None, 0.7)
    if gloss:
        c.shape(lambda x, y: max(inner(x, y), y - h * 0.47), vertical(WHITE, WHITE, 0, h), None, gloss)
    if inset:
        c.shape(lambda x, y: max(inner(x, y), -(inner(x, y) + 2.5), y - h * 0.5), (40, 70, 120), None, 0.12)
    return c


def button_skins():
    return {
        'IDB_BUTTON_NORMAL': button((70, 124, 188), (248, 251, 255), (198, 220, 245), 0.55),
        'IDB_BUTTON_PRESSED': button((36, 86, 156), (172, 202, 236), (218, 234, 251), 0.0, inset=True),
        'IDB_BUTTON_HOVER': button((34, 116, 208), (255, 255, 255), (182, 218, 252), 0.6, glow=(150, 205, 252)),
        'IDB_BUTTON_DISABLED': button((172, 177, 184), (236, 237, 239), (218, 220, 224), 0.0),
    }


# --- connection icons ------------------------------------------------------------

ICON = 48
ICON_BACK = (243, 247, 252)


def icon_tile():
    c = Canvas(ICON, ICON, ICON_BACK)
    c.shape(round_rect(2.5, 3.5, ICON - 1.5, ICON - 0.5, 9), (120, 150, 190), None, 0.25)
    c.shape(round_rect(1.5, 1.5, ICON - 2.5, ICON - 2.5, 9), (170, 194, 224))
    c.shape(round_rect(2.5, 2.5, ICON - 3.5, ICON - 3.5, 8), vertical(WHITE, (222, 234, 249), 2, ICON - 3))
    return c


def wired_icon():
    c = icon_tile()
    ink = vertical(INK, INK_DARK, 8, 40)
    c.shape(segment(22.5, 30, 22.5, 42, 3.2), ink, (18, 28, 28, 45))               # cable
    c.shape(round_rect(13, 11, 32, 31, 3), ink, (12, 10, 33, 32))                   # plug body
    c.shape(round_rect(17, 7, 28, 12, 1.5), ink, (16, 6, 29, 13))                   # clip
    for i in range(5):
        x = 16.3 + i * 3.1
        c.shape(round_rect(x, 13.5, x + 1.6, 20, 0.6), (238, 196, 92), (x - 1, 13, x + 3, 21))  # contacts
    c.shape(round_rect(16, 24, 29, 26.5, 1), (120, 170, 226), (15, 23, 30, 28))
    return c


def usb_icon():
    c = icon_tile()
    ink = vertical(INK, INK_DARK, 6, 42)
    c.shape(segment(24, 13, 24, 35, 1.8), ink, (20, 10, 28, 37))                    # shaft
    c.shape(polygon([(24, 6.5), (29.5, 14.5), (18.5, 14.5)]), ink, (17, 5, 31, 16))  # arrow head
    c.shape(circle(24, 37, 4.2), ink, (19, 32, 29, 42))                              # base
    c.shape(segment(24, 31, 14, 24, 1.6), ink, (12, 22, 26, 33))                     # left branch
    c.shape(segment(14, 24, 14, 19, 1.6), ink, (12, 17, 16, 26))
    c.shape(circle(14, 17.5, 3), ink, (10, 13, 18, 22))
    c.shape(segment(24, 27, 33, 21, 1.6), ink, (22, 19, 35, 29))                     # right branch
    c.shape(segment(33, 21, 33, 17, 1.6), ink, (31, 15, 35, 23))
    c.shape(round_rect(30, 12, 36, 18, 0.8), ink, (29, 11, 37, 19))
    return c


def wifi(c, cx, cy, scale, ink, spread=45):
    c.shape(circle(cx, cy, 3.1 * scale), ink, (cx - 5 * scale, cy - 5 * scale, cx + 5 * scale, cy + 5 * scale))
    for r in (9, 15, 21):
        rr = r * scale
        c.shape(arc(cx, cy, rr, 90 - spread, 90 + spread, 1.9 * scale), ink,
                (cx - rr - 3, cy - rr - 3, cx + rr + 3, cy + 3))


def wireless_icon():
    c = icon_tile()
    wifi(c, 24, 36, 1.0, vertical(INK, INK_DARK, 12, 40))
    return c


def onekey_icon():
    c = icon_tile()
    wifi(c, 19, 28, 0.78, vertical(INK, INK_DARK, 8, 30))
    # the one key: a round glossy button
    cx, cy, r = 32, 32, 9.5
    c.shape(circle(cx + 0.8, cy + 1.2, r), (60, 60, 60), (cx - r - 2, cy - r - 2, cx + r + 3, cy + r + 3), 0.25)
    c.shape(circle(cx, cy, r), (214, 110, 20), (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))
    c.shape(circle(cx, cy, r - 1), vertical((255, 184, 72), (238, 122, 24), cy - r, cy + r),
            (cx - r, cy - r, cx + r, cy + r))
    c.shape(lambda x, y: max(circle(cx, cy, r - 1.5)(x, y), y - cy), WHITE, (cx - r, cy - r, cx + r, cy), 0.35)
    # a power-style mark on the key
    c.shape(arc(cx, cy + 0.5, 4.6, 125, 415, 1.2), WHITE, (cx - 7, cy - 7, cx + 7, cy + 7))
    c.shape(segment(cx, cy - 6, cx, cy - 1, 1.2), WHITE, (cx - 2, cy - 8, cx + 2, cy + 1))
    return c


# --- output ----------------------------------------------------------------------

def pictures():
    pics = {
        'IDB_ICON_WIRED': wired_icon(),
        'IDB_ICON_USB': usb_icon(),
        'IDB_ICON_WIRELESS': wireless_icon(),
        'IDB_ICON_ONEKEY_WIRELESS': onekey_icon(),
        'IDB_BACKGROUND': page_background(576, 432, 72),
        'IDB_BACKGROUND_OPTIONS': page_background(576, 432, 72, options=True),
        'IDB_BACKGROUND_SMALL': page_background(480, 360, 56),
    }
    pics.update(button_skins())
    return pics


def main(out):
    os.makedirs(out, exist_ok=True)
    lines = ['// Generated by tools/make_bitmaps.py: the pictures of the bitmap library.',
             '#include <windows.h>', '#include "resource.h"', '',
             '// Pictures carry no text: one set for every language.',
             'LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL', '']
    for name, canvas in sorted(pictures().items()):
        file_name = name.lower() + '.bmp'
        with open(os.path.join(out, file_name), 'wb') as f:
            f.write(canvas.bmp())
        lines.append('%s BITMAP "%s"' % (name, file_name))
    with open(os.path.join(out, 'bitmaps.rc'), 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main(sys.argv[1])
