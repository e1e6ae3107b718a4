#!/usr/bin/env python3
"""Draws the calibration program's pictures and icon:  make_images.py OUTDIR

  cross.bmp        65 x 65, 16 colours: the target every touch aims at
  tick.bmp         28 x 27, 256 colours: the mark beside the instruction
  finger.bmp       91 x 109, 24-bit: greyscale fingertip on the check screen
  ZentaroxUsb.ico  16 x 16 and 32 x 32: the program file's icon

Everything is computed, nothing is random: the same script always writes the
same bytes, so two builds of the program are identical.  Standard library only.
"""
import math
import os
import sys

# The shared file writers live one folder up; no bytecode cache is written
# there, so a build leaves the source tree as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from imagefiles import VGA16, bmp, icon_image, ico, save  # noqa: E402

BLACK, GREEN, SILVER, GREY, RED, YELLOW, WHITE = 0, 2, 7, 8, 9, 11, 15


def cross():
    """Grey disc with a dark rim and a light middle, a yellow cross edged in
    green through its centre, and a small square on the exact centre pixel
    (32, 32), which the program places on the target point."""
    size, c = 65, 32
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - c, y - c
            d = math.hypot(dx, dy)
            colour = WHITE
            if d <= 27.5:
                colour = GREY if d > 19.5 else SILVER
            if max(abs(dx), abs(dy)) <= 1:
                colour = RED                 # the centre square, 3 x 3
            elif abs(dx) <= 1 or abs(dy) <= 1:
                colour = YELLOW              # the arms, three pixels wide
            elif abs(dx) == 2 or abs(dy) == 2:
                colour = GREEN               # their edges
            row.append(colour)
        rows.append(row)
    return bmp(size, size, 4, VGA16, rows)


def tick():
    """A tick mark over a box that casts a grey shadow down and to the right."""
    width, height = 28, 27
    palette = [(255, 255, 255), (0, 0, 0), (128, 128, 128), (0, 128, 0), (220, 220, 220)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    W, K, S, G, L = 0, 1, 2, 3, 4
    rows = [[W] * width for _ in range(height)]
    box = (3, 9, 20, 25)   # left, top, right, bottom (inclusive)
    for y in range(box[1] + 2, box[3] + 3):
        for x in range(box[0] + 2, box[2] + 3):
            if y < height and x < width:
                rows[y][x] = S
    for y in range(box[1], box[3] + 1):
        for x in range(box[0], box[2] + 1):
            edge = x in (box[0], box[2]) or y in (box[1], box[3])
            rows[y][x] = K if edge else L
    # The tick: a short stroke down to the right, then a long one up to the
    # top-right corner of the picture, three pixels thick.
    def stroke(x0, y0, x1, y1):
        steps = max(abs(x1 - x0), abs(y1 - y0))
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for ox in (-1, 0, 1):
                for oy in (0, 1):
                    if 0 <= x + ox < width and 0 <= y + oy < height:
                        rows[y + oy][x + ox] = G
    stroke(6, 13, 11, 19)
    stroke(11, 19, 25, 2)
    return bmp(width, height, 8, palette, rows)


def finger():
    """A greyscale picture, in the manner of a photograph, of a fingertip
    coming down from the top and touching a screen near the bottom: a lit
    cylinder with a rounded tip, a nail, the screen surface behind it and the
    tip's contact shadow on the glass."""
    width, height = 91, 109
    cx, tip_y, radius = 47.0, 88.0, 17.0
    rows = []
    seed = 12345
    for y in range(height):
        row = []
        for x in range(width):
            # Screen surface: dark glass, lighter towards the top left, with a
            # soft reflection band.
            v = 70 + 40 * (1 - y / height) * (1 - x / width) + 18 * math.exp(-((x - y * 0.6 - 10) / 9) ** 2)
            # Contact shadow where the tip meets the glass.
            sd = math.hypot((x - cx - 3) / 1.6, (y - tip_y - 4) / 0.7)
            v *= 1 - 0.45 * math.exp(-(sd / 11) ** 2)
            # The finger: a vertical cylinder from the top, ending in a half disc.
            r = radius + (y / height) * -2.0 + (1 - y / height) * 3.0
            dx = x - cx + (tip_y - y) * 0.12      # leaning slightly, as a hand does
            inside = abs(dx) <= r and y <= tip_y
            if not inside and y > tip_y:
                inside = math.hypot(dx, (y - tip_y) * 1.5) <= r
            if inside:
                n = max(-1.0, min(1.0, dx / r))
                # Light from the front left: diffuse shading of a cylinder,
                # with a soft highlight along the lit side.
                nz = math.sqrt(1 - n * n)
                diffuse = max(0.0, -0.45 * n + 0.89 * nz)
                v = 45 + 150 * diffuse + 40 * diffuse ** 12
                if y > tip_y:                        # the rounded tip turns away
                    v *= 1 - 0.5 * ((y - tip_y) / (r / 1.5)) ** 2
                # The nail: a smoother, slightly lighter oval near the tip.
                nd = math.hypot(dx / (r * 0.62), (y - (tip_y - 15)) / 13)
                if nd < 1:
                    v = v * 0.85 + 22 * (1 - nd)
                    if nd > 0.86:
                        v -= 30                      # its edge
                # Skin creases across the finger.
                for crease in (28, 34):
                    v -= 28 * math.exp(-((y - crease) / 1.3) ** 2) * (1 - abs(n) * 0.5)
            # Grain, as a photograph has.
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            v += ((seed >> 16) % 9) - 4
            g = max(0, min(255, int(v)))
            row.append((g, g, g))
        rows.append(row)
    return bmp(width, height, 24, [], rows)


def icon_picture(size):
    """One icon picture, 32-bit with its AND mask: a small target cross on a
    screen-blue tile."""
    c = (size - 1) / 2
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            a = 255
            if d > size * 0.48:
                a = 0
            colour = (0, 102, 255)
            if d <= size * 0.34:
                colour = (192, 192, 192) if d < size * 0.22 else (128, 128, 128)
            if abs(x - c) < size / 16 + 0.5 or abs(y - c) < size / 16 + 0.5:
                if d <= size * 0.42:
                    colour = (255, 255, 0)
            row.append(colour + (a,))
        pixels.append(row)
    transparent = [[p[3] == 0 for p in row] for row in pixels]
    return icon_image(size, 32, [], pixels, transparent)


def icon():
    return ico([icon_picture(16), icon_picture(32)])


def main():
    save(sys.argv[1], (("cross.bmp", cross()), ("tick.bmp", tick()),
                       ("finger.bmp", finger()), ("ZentaroxUsb.ico", icon())))


if __name__ == "__main__":
    main()
