#!/usr/bin/env python3
"""Draws the right-button tool's pictures as 16-colour Windows files.

    mkpictures.py OUTDIR

writes into OUTDIR:
  mouseleft.bmp   bitmap 201: mouse with its left button hatched, raised frame
  mouseright.bmp  bitmap 202: mouse with its right button hatched, sunken frame
  kaplet.ico      icon 105: 32 x 32 mouse, transparent around it

All three use the standard 16-colour VGA palette, so the colours survive any
display depth exactly (the window blits them unchanged).  The output depends
on nothing but this script, which keeps the program file reproducible.
Python 3 standard library only.
"""
import os
import sys

# The shared file writers live one folder up; no bytecode cache is written
# there, so a build leaves the source tree as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from imagefiles import VGA16, bmp, icon_image, ico, save  # noqa: E402

BLACK, LIGHT_GREY, DARK_GREY, WHITE = 0, 7, 8, 15
TRANSPARENT = -1


class Mouse:
    """A mouse seen from above: a rounded body, two buttons split by a centre
    line and a divider, and a cord leaving the top of the body."""

    def __init__(self, left, top, right, bottom, radius, divider_y, cord_bends):
        self.left, self.top, self.right, self.bottom = left, top, right, bottom
        self.radius = radius
        self.centre_x = (left + right) // 2
        self.divider_y = divider_y
        self.cord_bends = cord_bends  # sideways offset of the cord, row by row upwards

    def inside(self, x, y):
        if not (self.left <= x <= self.right and self.top <= y <= self.bottom):
            return False
        r = self.radius
        # Distance from the nearest corner circle's centre, when in a corner box.
        cx = self.left + r if x < self.left + r else self.right - r if x > self.right - r else x
        cy = self.top + r if y < self.top + r else self.bottom - r if y > self.bottom - r else y
        dx, dy = x - cx, y - cy
        return dx * dx + dy * dy <= r * r + r  # "+ r" rounds the corner pixels nicely

    def outline(self, x, y):
        if not self.inside(x, y):
            return False
        return not all(self.inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))

    def cord(self):
        """Pixels of the cord: an S-bend from the body's top up to where the bends end,
        with the gaps of each sideways step filled so the line stays joined."""
        pixels = []
        prev_x = None
        for step, offset in enumerate(self.cord_bends):
            x, y = self.centre_x + offset, self.top - step
            pixels.append((x, y))
            if prev_x is not None:
                for fill in range(min(prev_x, x) + 1, max(prev_x, x)):
                    pixels.append((fill, y))
            prev_x = x
        return pixels

    def draw(self, image, hatched):
        """hatched: 'left' or 'right', the button drawn with diagonal lines."""
        size = len(image)
        for y in range(size):
            for x in range(size):
                if not self.inside(x, y):
                    continue
                colour = WHITE
                if self.outline(x, y):
                    colour = BLACK
                elif y == self.divider_y:
                    colour = BLACK
                elif y < self.divider_y and x == self.centre_x:
                    colour = BLACK
                elif y < self.divider_y and (x + y) % 3 == 0:
                    if (hatched == 'left' and x < self.centre_x) or (hatched == 'right' and x > self.centre_x):
                        colour = BLACK
                image[y][x] = colour
        for x, y in self.cord():
            if 0 <= x < size and 0 <= y < size and not self.inside(x, y):
                image[y][x] = BLACK


def frame(image, raised):
    """Raised: white top and left, black bottom and right; sunken the other
    way round; a dark-grey line inside on all four sides either way."""
    n = len(image)
    top_left, bottom_right = (WHITE, BLACK) if raised else (BLACK, WHITE)
    for i in range(n):
        image[1][i] = image[n - 2][i] = image[i][1] = image[i][n - 2] = DARK_GREY
    for i in range(n):
        image[0][i] = image[i][0] = top_left
    # The bottom and right lines run the full length, so the two corners where
    # the lines meet (top right, bottom left) take their colour.
    for i in range(n):
        image[n - 1][i] = image[i][n - 1] = bottom_right


def blank(size, colour):
    return [[colour] * size for _ in range(size)]


def bmp_file(image):
    size = len(image)
    return bmp(size, size, 4, VGA16, image, pels_per_metre=0)


def ico_file(image):
    size = len(image)
    colour = [[0 if c == TRANSPARENT else c for c in line] for line in image]
    transparent = [[c == TRANSPARENT for c in line] for line in image]
    return ico([icon_image(size, 4, VGA16, colour, transparent)])


def picture(hatched, raised):
    image = blank(50, LIGHT_GREY)
    Mouse(left=13, top=13, right=35, bottom=44, radius=8, divider_y=26,
          cord_bends=[0, 0, 1, 2, 2, 1, 0, -1, -2, -2, -1]).draw(image, hatched)
    frame(image, raised)
    return image


def icon():
    image = blank(32, TRANSPARENT)
    Mouse(left=8, top=9, right=24, bottom=30, radius=6, divider_y=18,
          cord_bends=[0, 0, 1, 2, 1, 0, -1, -2, -1]).draw(image, 'right')
    return image


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: mkpictures.py OUTDIR')
    save(sys.argv[1], (
        ('mouseleft.bmp', bmp_file(picture('left', raised=True))),
        ('mouseright.bmp', bmp_file(picture('right', raised=False))),
        ('kaplet.ico', ico_file(icon())),
    ))


if __name__ == '__main__':
    main()
