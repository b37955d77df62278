#!/usr/bin/env python3
"""Writes the sample pictures in samples/ (standard library only).

    python3 tools/make_samples.py [OUTPUT_FOLDER]

sample1-640.xpm, sample1-320.xpm and sample1-160.xpm are one scene drawn at three sizes: white
shapes on black that show what distance transforms and morphology do - discs, rectangles, thin
lines, a ring, specks of noise (removed by an opening), small holes (filled by a closing) and
shapes that touch the border of the image. square.xpm is a white square on black, and
filterQX15.xpm a 15 x 15 filter image: a ring with a cross through its centre, so that most of
its rows have gaps.

The files have the two-colour layout that the program itself writes, so a sample saved again
unchanged is the same file byte for byte.
"""

import math
import os
import random
import sys

# The scene is laid out on a 640 x 480 design grid and sampled at the centre of each pixel.
DESIGN_WIDTH = 640.0


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner < (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def rectangle(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rotated_rectangle(cx, cy, half_w, half_h, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def inside(x, y):
        u = (x - cx) * c + (y - cy) * s
        v = -(x - cx) * s + (y - cy) * c
        return abs(u) <= half_w and abs(v) <= half_h

    return inside


def segment(x0, y0, x1, y1, half_width):
    """A line of the given half width in design units; never thinner than one pixel."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y, pixel):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        limit = max(half_width, 0.5 * pixel)
        # Chessboard distance for the thinnest lines keeps them connected at every size.
        return math.hypot(px, py) <= limit or max(abs(px), abs(py)) <= 0.5 * pixel

    inside.needs_pixel = True
    return inside


def triangle(ax, ay, bx, by, cx, cy):
    def side(px, py, qx, qy, x, y):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    def inside(x, y):
        d1 = side(ax, ay, bx, by, x, y)
        d2 = side(bx, by, cx, cy, x, y)
        d3 = side(cx, cy, ax, ay, x, y)
        return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)

    return inside


def scene():
    """(shape, value) in painting order: later shapes paint over earlier ones."""
    white, black = 1, 0
    shapes = [
        (disc(120, 120, 70), white),                      # a large disc
        (disc(300, 90, 32), white),                       # a smaller one
        (rectangle(400, 40, 560, 150), white),            # a rectangle
        (rotated_rectangle(470, 240, 70, 22, 30), white), # a tilted bar
        (ring(470, 370, 80, 52), white),                  # a ring
        (disc(470, 370, 18), white),                      # with a dot in its middle
        (rectangle(0, 250, 90, 400), white),              # touches the left border
        (disc(250, 480, 60), white),                      # a half disc on the bottom border
        (rectangle(600, 0, 640, 90), white),              # the top right corner
        (triangle(180, 230, 330, 230, 240, 380), white),  # a triangle
        (segment(30, 460, 200, 290, 1.5), white),         # thin lines
        (segment(280, 200, 380, 200, 1.0), white),
        (segment(360, 300, 360, 470, 2.0), white),
        (segment(560, 170, 630, 300, 1.0), white),
    ]
    # Small holes in the large shapes.
    for cx, cy, r in [(100, 100, 5), (150, 140, 3), (90, 160, 7), (440, 80, 4), (520, 120, 6),
                      (30, 300, 5), (60, 360, 3), (240, 280, 4), (250, 455, 5)]:
        shapes.append((disc(cx, cy, r), black))
    return shapes


def specks(seed=7, count=60):
    """Specks of noise: tiny white dots on the background, at least one pixel at every size."""
    rng = random.Random(seed)
    return [(rng.uniform(5, 635), rng.uniform(5, 475), rng.choice([1.0, 1.5, 2.5, 3.5]))
            for _ in range(count)]


def draw_scene(width, height):
    scale = width / DESIGN_WIDTH
    pixel = 1.0 / scale  # one pixel in design units
    image = [[0] * width for _ in range(height)]
    shapes = scene()
    for row in range(height):
        y = (row + 0.5) * pixel
        for column in range(width):
            x = (column + 0.5) * pixel
            value = 0
            for shape, colour in shapes:
                hit = shape(x, y, pixel) if getattr(shape, "needs_pixel", False) else shape(x, y)
                if hit:
                    value = colour
            image[row][column] = value
    for sx, sy, r in specks():
        # Every pixel whose centre lies within r, or the pixel under the centre when none does.
        cx, cy = sx * scale, sy * scale
        rr = r * scale
        hit = False
        for row in range(max(0, int(cy - rr) - 1), min(height, int(cy + rr) + 2)):
            for column in range(max(0, int(cx - rr) - 1), min(width, int(cx + rr) + 2)):
                if (column + 0.5 - cx) ** 2 + (row + 0.5 - cy) ** 2 <= rr * rr:
                    image[row][column] = 1
                    hit = True
        if not hit:
            image[min(height - 1, int(cy))][min(width - 1, int(cx))] = 1
    return image


def draw_square(size=200, side=80):
    start = (size - side) // 2
    return [[1 if start <= r < start + side and start <= c < start + side else 0
             for c in range(size)] for r in range(size)]


def draw_filter():
    """15 x 15: a ring of radius about 6.5 and a cross through the centre (7, 7)."""
    size, centre = 15, 7
    image = [[0] * size for _ in range(size)]
    for r in range(size):
        for c in range(size):
            dy, dx = r - centre, c - centre
            on_ring = abs(math.hypot(dx, dy) - 6.6) <= 0.55
            on_cross = abs(dx) == abs(dy) and abs(dx) <= 4
            image[r][c] = 1 if on_ring or on_cross else 0
    return image


def xpm_text(image):
    height, width = len(image), len(image[0])
    lines = ["/* XPM */",
             "static char *outputimage[] = {",
             "/* width height num_colors chars_per_pixel */",
             '" %d %d  2  1",' % (width, height),
             '". c #000000",',
             '"# c #ffffff",']
    for row in image:
        lines.append('"' + "".join("#" if v else "." for v in row) + '",')
    lines.append("};")
    return "\n".join(lines) + "\n"


def write(folder, name, image):
    path = os.path.join(folder, name)
    with open(path, "w", newline="\n", encoding="ascii") as f:
        f.write(xpm_text(image))
    white = sum(map(sum, image))
    print("%-16s %4d x %-4d white %6d" % (name, len(image[0]), len(image), white))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "samples")
    os.makedirs(folder, exist_ok=True)
    for width, height in [(640, 480), (320, 240), (160, 120)]:
        write(folder, "sample1-%d.xpm" % width, draw_scene(width, height))
    write(folder, "square.xpm", draw_square())
    filt = draw_filter()
    assert filt[7][7] == 1 and all(any(row) for row in filt)
    write(folder, "filterQX15.xpm", filt)


if __name__ == "__main__":
    main()
