#!/usr/bin/env python3
"""Draws the setup program's pictures and icons:  make_images.py OUTDIR

  side.bmp        116 x 255, 16 colours: the picture down the left of both
                  wizard pages, a touch monitor on a banded blue backdrop
  logo.bmp        360 x 128, 24-bit: the product banner on the welcome page
  setup.ico       32 x 32, 16 colours: the program's icon (class, About box)
  setupsmall.ico  16 x 16, 16 colours: the class's small icon

Everything is computed with arithmetic and square roots only, all exactly
rounded in IEEE floating point, and nothing is random: the same script
writes the same bytes on every machine and every run.  Standard library only.
"""
import math
import os
import sys

# The shared file writers live one folder up; no bytecode cache is written
# there, so a build leaves the source tree as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from imagefiles import VGA16, bmp, icon_image, ico, save  # noqa: E402

BLACK, NAVY, TEAL, SILVER, GREY, BLUE, CYAN, WHITE = 0, 4, 6, 7, 8, 12, 14, 15

# Ordered-dither thresholds: a 16-colour picture shows a smooth blend of two
# colours as a fine, regular pattern rather than as noise.
BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def threshold(x, y):
    return (BAYER4[y % 4][x % 4] + 0.5) / 16


def sq(v):
    return v * v


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def ramp(colours, t, x, y):
    """The colour at t (0 to 1) along evenly spaced colours, dithered between
    the two either side of it."""
    p = clamp(t) * (len(colours) - 1)
    i = min(int(p), len(colours) - 2)
    return colours[i + 1] if p - i > threshold(x, y) else colours[i]


# Signed distances in pixels, negative inside: one shape description serves
# both the hard-edged 16-colour pictures (inside where <= 0) and the smoothly
# edged true-colour logo (coverage 0.5 - distance).

def d_circle(x, y, cx, cy, r):
    return math.sqrt(sq(x - cx) + sq(y - cy)) - r


def d_box(x, y, cx, cy, hw, hh, r=0.0):
    """A box centred on (cx, cy), half width hw, half height hh, corners
    rounded with radius r."""
    qx = abs(x - cx) - hw + r
    qy = abs(y - cy) - hh + r
    outside = math.sqrt(sq(max(qx, 0.0)) + sq(max(qy, 0.0)))
    return outside + min(max(qx, qy), 0.0) - r


def d_capsule(x, y, ax, ay, bx, by, r):
    """A stroke of radius r from (ax, ay) to (bx, by), round at both ends."""
    vx, vy = bx - ax, by - ay
    t = clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy))
    return math.sqrt(sq(x - ax - t * vx) + sq(y - ay - t * vy)) - r


class Finger:
    """A straight finger from its tip at (tx, ty) towards (bx, by), of radius
    r, seen from the back so its nail shows near the tip."""

    def __init__(self, tx, ty, bx, by, r):
        self.tx, self.ty, self.r = tx, ty, r
        length = math.sqrt(sq(bx - tx) + sq(by - ty))
        self.ux, self.uy = (bx - tx) / length, (by - ty) / length

    def local(self, x, y):
        """Distance along the finger from the tip, and across it (positive
        to the finger's right as the viewer sees it pointing up)."""
        dx, dy = x - self.tx, y - self.ty
        return dx * self.ux + dy * self.uy, dx * -self.uy + dy * self.ux

    def distance(self, x, y):
        u, v = self.local(x, y)
        if u < 0:
            return math.sqrt(u * u + v * v) - self.r
        return abs(v) - self.r

    def nail(self, x, y):
        """Signed distance, roughly, from the nail's oval edge."""
        u, v = self.local(x, y)
        a, b = self.r * 0.75, self.r * 0.62
        e = math.sqrt(sq((u - a * 0.95) / a) + sq(v / b))
        return (e - 1) * b


# --- side.bmp -------------------------------------------------------------

SIDE_W, SIDE_H = 116, 255


def side_backdrop(x, y):
    """Blue fading to navy down the picture, crossed by two soft bands of
    light that curve like a swept cloth."""
    colour = ramp((BLUE, NAVY, NAVY, BLACK), y / (SIDE_H - 1), x, y)
    for base, bend, width, strength in ((188.0, 0.0046, 16.0, 0.75), (212.0, 0.0034, 9.0, 0.5)):
        centre = base - 0.38 * x + bend * sq(x - 20)
        s = strength * clamp(1 - abs(y - centre) / width)
        if s > threshold(x + 1, y + 2):
            colour = TEAL if s < 0.55 else CYAN
    return colour


def monitor_pixel(x, y, m):
    """The colour of the monitor m = (cx, cy, hw, hh, bezel) at (x, y), or
    None outside it: a silver frame lit from the top left, a dark inner edge
    and a blue screen brightening towards the top."""
    cx, cy, hw, hh, bezel = m
    if d_box(x, y, cx, cy, hw, hh, 2) > 0:
        return None
    if d_box(x, y, cx, cy, hw - 1, hh - 1, 1) > 0:
        return WHITE if (x - cx) + (y - cy) < 0 and y < cy + hh - 1 and x < cx + hw - 1 else GREY
    sx, sy = hw - bezel, hh - bezel
    if d_box(x, y, cx, cy, sx + 1, sy + 1) > 0:
        return SILVER
    if d_box(x, y, cx, cy, sx, sy) > 0:
        return GREY if y == cy - sy - 1 or x == cx - sx - 1 else WHITE
    colour = ramp((CYAN, BLUE, BLUE, NAVY), (y - (cy - sy)) / (2 * sy), x, y)
    # A diagonal glint across the glass.
    g = (x - cx) + (y - cy) * 1.2
    if -sx * 0.9 < g < -sx * 0.9 + 5:
        colour = CYAN if colour != CYAN else WHITE
    return colour


# The pointing hand of the side picture, back to front: palm and wrist,
# thumb, the three folded fingers, then the index finger on top.  A part is
# one or more strokes (x0, y0, x1, y1, radius) outlined as a whole, so the
# outline of each part in front separates it from the ones behind.
SIDE_HAND = [
    [(84, 178, 86, 196, 16), (86, 200, 88, 262, 14)],
    [(66, 196, 58, 178, 6)],
    [(99, 170, 99, 178, 5.5)],
    [(89, 164, 89, 173, 5.5)],
    [(79, 160, 79, 170, 5.5)],
    [(70, 124, 70, 170, 6)],
]


def hand_pixel(x, y):
    """White hand, silver on the side turned from the light, black
    outlines; None outside it."""
    colour = None
    for part in SIDE_HAND:
        d, across, r = min((d_capsule(x, y, *stroke), stroke_across(x, y, *stroke), stroke[4])
                           for stroke in part)
        if d > 0:
            continue
        if d > -1.2:
            colour = BLACK
        else:
            colour = SILVER if across > r * 0.45 else WHITE
    return colour


def stroke_across(x, y, x0, y0, x1, y1, r):
    """How far (x, y) lies right of the stroke's middle line, horizontally."""
    t = clamp(((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) / (sq(x1 - x0) + sq(y1 - y0)))
    return x - (x0 + t * (x1 - x0))


def side():
    mon = cx, cy, hw, hh, bezel = 58, 120, 46, 38, 7    # centre, half size, frame
    touch = (70, 124)
    rows = []
    for y in range(SIDE_H):
        row = []
        for x in range(SIDE_W):
            colour = side_backdrop(x, y)
            # Stand: a neck under the monitor and a wide, flat foot.
            if d_box(x, y, cx, 166, 8, 9) <= 0:
                colour = GREY if x >= cx + 6 else SILVER
            if d_box(x, y, cx, 178, 30, 4, 3) <= 0:
                colour = WHITE if y <= 175 else GREY if y >= 181 else SILVER
            m = monitor_pixel(x, y, mon)
            if m is not None:
                colour = m
                # Rings spreading from the touch on the glass.
                for radius in (6, 11, 16):
                    if abs(d_circle(x, y, touch[0], touch[1], radius)) <= 0.6 and \
                            d_box(x, y, cx, cy, hw - bezel, hh - bezel) <= 0:
                        colour = WHITE if radius < 16 else CYAN
            h = hand_pixel(x, y)
            if h is not None:
                colour = h
            row.append(colour)
        rows.append(row)
    return bmp(SIDE_W, SIDE_H, 4, VGA16, rows)


# --- logo.bmp -------------------------------------------------------------

LOGO_W, LOGO_H = 360, 128

# Block letters, five pixels wide and seven high, for the banner's words.
FONT = {
    "U": ["X...X", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "S": [".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."],
    "B": ["XXXX.", "X...X", "X...X", "XXXX.", "X...X", "X...X", "XXXX."],
    "T": ["XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."],
    "o": [".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."],
    "u": [".....", ".....", "X...X", "X...X", "X...X", "X..XX", ".XX.X"],
    "c": [".....", ".....", ".XXX.", "X....", "X....", "X...X", ".XXX."],
    "h": ["X....", "X....", "X.XX.", "XX..X", "X...X", "X...X", "X...X"],
    "s": [".....", ".....", ".XXXX", "X....", ".XXX.", "....X", "XXXX."],
    "r": [".....", ".....", "X.XX.", "XX..X", "X....", "X....", "X...."],
    "e": [".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXX."],
    "n": [".....", ".....", "X.XX.", "XX..X", "X...X", "X...X", "X...X"],
}


def text_cells(text, left, top, scale):
    """The set of pixels (x, y) the block letters of text cover."""
    cells = set()
    for i, ch in enumerate(text):
        for gy, line in enumerate(FONT[ch]):
            for gx, bit in enumerate(line):
                if bit == "X":
                    x0 = left + (i * 6 + gx) * scale
                    y0 = top + gy * scale
                    for y in range(y0, y0 + scale):
                        for x in range(x0, x0 + scale):
                            cells.add((x, y))
    return cells


def mix(a, b, t):
    t = clamp(t)
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def cover(d):
    """How much of a pixel a shape covers, from the signed distance of the
    pixel's centre to the shape's edge."""
    return clamp(0.5 - d)


def logo():
    big = text_cells("USB", 158, 20, 6)
    big_shadow = {(x + 2, y + 2) for x, y in big}
    small = text_cells("Touchscreen", 158, 78, 3)
    small_shadow = {(x + 1, y + 1) for x, y in small}
    finger = Finger(94.5, 52.5, 146, 150, 8.5)
    rows = []
    for y in range(LOGO_H):
        row = []
        for x in range(LOGO_W):
            px, py = x + 0.5, y + 0.5
            # Backdrop: white at the top left deepening to a pale sky blue,
            # with a glassy lighter upper half.
            c = mix((255, 255, 255), (186, 212, 242), 0.55 * py / LOGO_H + 0.45 * px / LOGO_W)
            if py < LOGO_H * 0.46:
                c = mix(c, (255, 255, 255), 0.35)
            # Two sweeping arcs along the bottom.
            for ccx, ccy, r, w, col in ((150, 660, 585, 7, (20, 90, 190)),
                                        (210, 720, 628, 3, (0, 170, 210))):
                a = cover(abs(d_circle(px, py, ccx, ccy, r)) - w)
                c = mix(c, mix(col, (255, 255, 255), 0.5 - 0.5 * px / LOGO_W), a * 0.85)
            # The monitor's stand: a neck and a flat oval foot.
            a = cover(d_box(px, py, 78, 102, 9, 8, 1))
            c = mix(c, mix((150, 156, 168), (95, 100, 112), (px - 69) / 18), a)
            a = cover(d_box(px, py, 78, 112, 34, 4.5, 4.5))
            c = mix(c, mix((210, 214, 222), (120, 126, 138), (py - 107) / 9), a)
            # Frame: dark, a little lighter at the top.
            a = cover(d_box(px, py, 78, 56, 62, 44, 6))
            c = mix(c, mix((84, 90, 104), (36, 38, 46), (py - 12) / 88), a)
            a = cover(abs(d_box(px, py, 78, 56, 61.5, 43.5, 5.5)) - 0.5)
            c = mix(c, (140, 148, 164), a * 0.6)
            # Screen: deep blue, brightening up and to the left, with a
            # diagonal sheen across its upper left.
            a = cover(d_box(px, py, 78, 54, 54, 36, 1))
            screen = mix((70, 150, 235), (10, 40, 120), 0.6 * (py - 18) / 72 + 0.4 * (px - 24) / 108)
            if (px - 24) + (py - 18) * 1.6 < 70:
                screen = mix(screen, (255, 255, 255), 0.16)
            c = mix(c, screen, a)
            # Rings spreading from where the finger touches the glass.
            for r, strength in ((9, 0.9), (16, 0.6), (23, 0.35)):
                ring = cover(abs(d_circle(px, py, 94.5, 52.5, r)) - 0.9)
                c = mix(c, (255, 255, 255), ring * strength * a)
            # The finger: skin, shaded to its right, a darker outline and a
            # paler, glossy nail.
            d = finger.distance(px, py)
            if d < 1:
                _, v = finger.local(px, py)
                skin = mix((250, 214, 186), (206, 150, 120), 0.5 + 0.5 * v / finger.r)
                n = finger.nail(px, py)
                nail = mix((252, 228, 220), (236, 196, 184), 0.5 + 0.5 * v / finger.r)
                skin = mix(skin, nail, cover(n))
                skin = mix(skin, (196, 140, 120), cover(abs(n) - 0.5) * 0.8)
                skin = mix((150, 96, 74), skin, cover(d + 1.3))
                c = mix(c, skin, cover(d))
            # Lettering with a soft shadow.
            if (x, y) in big_shadow or (x, y) in small_shadow:
                c = mix(c, (120, 140, 170), 0.35)
            if (x, y) in big:
                c = mix((30, 90, 200), (10, 36, 110), (py - 20) / 42)
            if (x, y) in small:
                c = mix((40, 48, 64), (70, 80, 100), (py - 78) / 21)
            row.append(tuple(int(v + 0.5) for v in c))
        rows.append(row)
    return bmp(LOGO_W, LOGO_H, 24, [], rows)


# --- setup.ico, setupsmall.ico --------------------------------------------

# A pointing hand seen from its back, drawn pixel by pixel: at icon sizes a
# finger only reads as one when each pixel is placed by hand.  K outline,
# W skin lit, S skin shaded, "." whatever lies below.
HAND32 = [
    ".....KK.........",
    "....KWWK........",
    "....KWWK........",
    "....KWWK........",
    "....KWWK........",
    "....KWWKKK......",
    "....KWWKWSKKK...",
    "....KWWKWSKWSKK.",
    ".KK.KWWKWSKWSKSK",
    "KWWKKWWWWWWWWKSK",
    "KWWWKWWWWWWWWWSK",
    ".KWWWWWWWWWWWWSK",
    "..KWWWWWWWWWWWSK",
    "..KWWWWWWWWWWWSK",
    "...KWWWWWWWWWSK.",
    "...KWWWWWWWWWSK.",
    "....KWWWWWWWSK..",
    "....KWWWWWWWSK..",
    "....KKKKKKKKKK..",
]
# The letters of the pixel-drawn pictures; "." is transparent in an icon.
ART_COLOURS = {"K": BLACK, "W": WHITE, "S": SILVER, "G": GREY, "C": CYAN,
                "B": BLUE, "N": NAVY, ".": None}


def icon_monitor(x, y, left, top, right, bottom):
    """A monitor drawn for icon sizes: black outline, raised silver frame,
    sunken blue screen with a cyan glint; None outside it."""
    if not (left <= x <= right and top <= y <= bottom):
        return None
    if x in (left, right) or y in (top, bottom):
        return BLACK
    if x == left + 1 or y == top + 1:
        return WHITE
    if x == right - 1 or y == bottom - 1:
        return GREY
    sl, st, sr, sb = left + 3, top + 3, right - 3, bottom - 3
    if not (sl <= x <= sr and st <= y <= sb):
        if x == sl - 1 and y <= sb or y == st - 1 and x <= sr:
            return GREY
        if x == sr + 1 and y >= st - 1 or y == sb + 1 and x >= sl - 1:
            return WHITE
        return SILVER
    g = (x - sl) + (y - st)
    if g < 3 or 5 <= g < 7:
        return CYAN
    t = (y - st) / (sb - st)
    return NAVY if (t - 0.55) / 0.35 > threshold(x, y) else BLUE


def icon_file(size, rows):
    """A one-picture icon file from rows of palette indices or None, None
    being transparent."""
    colours = [[BLACK if c is None else c for c in row] for row in rows]
    clear = [[c is None for c in row] for row in rows]
    return ico([icon_image(size, 4, VGA16, colours, clear)])


def icon32():
    """The monitor on its stand, rings spreading on the glass from the
    fingertip of the hand touching it."""
    size, tip = 32, (17, 8)
    hx, hy = tip[0] - HAND32[0].index("K"), tip[1]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            colour = None
            if 10 <= x <= 16 and 22 <= y <= 24:
                colour = BLACK if x in (10, 16) else GREY if x >= 14 else SILVER
            if 5 <= x <= 21 and 24 <= y <= 27:
                colour = BLACK if x in (5, 21) or y in (24, 27) else WHITE if y == 25 else GREY
            m = icon_monitor(x, y, 0, 1, 26, 21)
            if m is not None:
                colour = m
                # Arcs above the fingertip, clear of the screen's edge.
                if 4 <= x <= 22 and 5 <= y < tip[1]:
                    for r in (3.5, 6.5):
                        if abs(d_circle(x, y, tip[0] + 0.5, tip[1] + 0.5, r)) <= 0.55:
                            colour = WHITE
            if 0 <= y - hy < len(HAND32) and 0 <= x - hx < len(HAND32[0]):
                art = ART_COLOURS[HAND32[y - hy][x - hx]]
                if art is not None:
                    colour = art
            row.append(colour)
        rows.append(row)
    return icon_file(size, rows)


# The small icon entire, pixel by pixel: the same monitor and hand, reduced
# to what 16 x 16 can hold.
SMALL = [
    "KKKKKKKKKKKKKK..",
    "KWWWWWWWWWWWGK..",
    "KWCCCBBBBBBBGK..",
    "KWCCBBBBBBBBGK..",
    "KWCBBBBBBKBBGK..",
    "KWBBBBBBKWKBGK..",
    "KWBBBBBBKWKBGK..",
    "KWNNNNNNKWKKKK..",
    "KWNNNNNKKWWWSK..",
    "KWGGGGGKWWWWSK..",
    "KKKKKKKKWWWWSK..",
    ".....KSGKWWWSK..",
    "..KSSSSSKWWSK...",
    "..KKKKKKKKKKK...",
    "................",
    "................",
]


def icon16():
    return icon_file(16, [[ART_COLOURS[ch] for ch in line] for line in SMALL])


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_images.py OUTDIR")
    save(sys.argv[1], (("side.bmp", side()), ("logo.bmp", logo()),
                       ("setup.ico", icon32()), ("setupsmall.ico", icon16())))


if __name__ == "__main__":
    main()
