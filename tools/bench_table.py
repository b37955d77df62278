#!/usr/bin/env python3
"""The README's benchmark tables from a dtbench run.

    build/bench/dtbench > bench.txt && python3 tools/bench_table.py bench.txt

Prints the tables in Markdown: every figure is the fastest run in ms, and the figure in brackets
is the ratio to the entry it is compared with (OpenCV, or our own single-threaded figure).
"""
import re
import sys

PICTURE_SIZES = ["640x480", "2000x2000", "2048x2048", "4000x4000", "4096x4096"]
PATTERNS = ["blobs", "sparse"]


def read_figures(path):
    figures = {}
    with open(path, encoding="utf-8") as run:
        for line in run:
            match = re.match(r"^(\S+)\s+([\d.]+)\s+\d+", line)
            if match:
                figures[match.group(1)] = float(match.group(2))
    return figures


def main(path):
    figures = read_figures(path)

    def ms(value):
        if value is None:
            return "—"
        return f"{value:.1f}" if value < 100 else f"{value:.0f}"

    def cell(name, against=None):
        ours, theirs = figures.get(name), figures.get(against) if against else None
        ratio = f" ({ours / theirs:.2f})" if ours is not None and theirs else ""
        return ms(ours) + ratio

    def picture(pattern, size):
        return f"{pattern} {size.replace('x', ' × ')}"

    def table(title, header, rows):
        print(f"\n{title}\n")
        print("| " + " | ".join(header) + " |")
        print("|" + "---|" * len(header))
        for row in rows:
            print("| " + " | ".join(row) + " |")

    metrics = ["euclid", "cityblock", "chessboard"]
    table("Distance transform, algorithm 1, ms (ratio ours / OpenCV in brackets):",
          ["picture", "Euclid", "city-block", "chessboard", "triangle", "triangle, apex 60, 100",
           "textbook Euclid"],
          [[picture(p, s)]
           + [cell(f"transform/udt/{m}/{p}/{s}", f"opencv/distanceTransform/{m}/{p}/{s}")
              for m in metrics]
           + [cell(f"transform/udt/triangle/{p}/{s}"),
              cell(f"transform/udt/triangle-60,100/{p}/{s}"), cell(f"textbook/euclid/{p}/{s}")]
           for p in PATTERNS for s in PICTURE_SIZES])

    table("Algorithm 1 on both cores, ms (ratio to one thread in brackets, both by the wall "
          "clock):",
          ["picture", "Euclid", "city-block", "chessboard", "triangle"],
          [[picture(p, s)]
           + [cell(f"threads/udt/{m}/{p}/{s}", f"onethread/udt/{m}/{p}/{s}")
              for m in metrics + ["triangle"]]
           for p in PATTERNS for s in ["2048x2048", "4000x4000"]])

    table("Algorithm 1 with the nearest feature pixel of every pixel, as the window runs it, ms:",
          ["picture", "Euclid", "city-block", "chessboard", "triangle"],
          [[picture(p, "2048x2048")]
           + [cell(f"nearest/udt/{m}/{p}/2048x2048") for m in metrics + ["triangle"]]
           for p in PATTERNS])

    table("Algorithm 2 and the simple transform, ms:",
          ["picture", "algorithm 2", "simple"],
          [[picture(p, s), cell(f"transform/exhaustive/euclid/{p}/{s}"),
            cell(f"transform/simple/euclid/{p}/{s}")]
           for p in PATTERNS for s in ["160x120", "320x240"]])

    def best_of(*names):
        found = [figures[name] for name in names if name in figures]
        return min(found) if found else None

    def against_best(name, *others):
        ours, theirs = figures.get(name), best_of(*others)
        ratio = f" ({ours / theirs:.2f})" if ours is not None and theirs else ""
        return ms(ours) + ratio

    sizes = [1, 3, 10, 30, 100]
    table("Morphology by distance transform on 2048 × 2048 pictures, ms (ratio ours / the faster "
          "of OpenCV and Leptonica with the same ball; size 0 is the floor under every size):",
          ["picture, operation, shape", "size 0"] + [f"size {size}" for size in sizes],
          [[f"{p} {op} {shape}",
            ms(figures.get(f"morph/dilate/circle/0/{p}/2048x2048")) if op == "dilate" else ""]
           + [against_best(f"morph/{op}/{shape}/{size}/{p}/2048x2048",
                           f"opencv/{op}/{shape}/{size}/{p}/2048x2048",
                           f"leptonica/{op}/{shape}/{size}/{p}/2048x2048")
              for size in sizes]
           for p in PATTERNS for op in ["dilate", "erode"]
           for shape in ["circle", "diamond", "square", "triangle"]])

    filters = {"qx15": "samples/filterQX15.xpm", "disc15": "15 × 15 disc",
               "disc31": "31 × 31 disc"}
    methods = [("decomposed", "dilate"), ("simple", "dilate"), ("decomposed", "erode"),
               ("simple", "erode")]
    table("Morphology by filter picture on 2048 × 2048 blobs, ms "
          "(ratio ours / OpenCV with the same kernel; Leptonica's own time at the end):",
          ["filter"] + [f"{method} {op}" for method, op in methods]
          + ["Leptonica dilate", "Leptonica erode"],
          [[label] + [cell(f"filter/{method}/{op}/{key}/blobs/2048x2048",
                           f"opencv/filter/{op}/{key}/blobs/2048x2048")
                      for method, op in methods]
           + [cell(f"leptonica/filter/{op}/{key}/blobs/2048x2048") for op in ["dilate", "erode"]]
           for key, label in filters.items()])


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: bench_table.py DTBENCH_OUTPUT")
    main(sys.argv[1])
