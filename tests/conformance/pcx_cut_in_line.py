#!/usr/bin/python3
"""Writes copies of 24-bit PCX pictures whose data ends near the end of a
line, after empty runs, and the picture a reader that keeps old bytes must
show.

usage: pcx_cut_in_line.py OUT_DIR PICTURE...
For each picture, OUT_DIR gets NAME.cut.pcx and NAME.cut.ppm. The copy keeps
the data of rows 0 .. ROW - 1 and the tokens of row ROW up to the first that
reaches TAIL bytes before the line's end (a reader that decodes long lines
a word at a time may have stored bytes ahead there), then empty runs (a
count of 0 draws nothing, enough to pass for the rest of the line's data),
then ends. A line the data stops in keeps the bytes it held, the row
before's, and the rows after it repeat it: the expected picture is Pillow's
decode of the original with row ROW's plane bytes from that point on taken
from row ROW - 1, and every later row equal to row ROW.
"""
import os
import sys

from PIL import Image

ROW = 40
TAIL = 60


def cut(data, row, at_least):
    """Offset just after the first token of row `row` that fills the line
    to at_least bytes, and the bytes filled; tokens must not cross lines."""
    head = data[:128]
    line = head[65] * (head[66] | head[67] << 8)
    pos, filled, rows = 128, 0, 0
    while True:
        byte = data[pos]
        count, pos = (byte & 63, pos + 2) if byte >= 0xC0 else (1, pos + 1)
        filled += count
        if filled > line:
            raise ValueError("a run crosses a line end")
        if rows == row and filled >= at_least:
            return pos, filled
        if filled == line:
            filled, rows = 0, rows + 1


def main():
    out_dir = sys.argv[1]
    for path in sys.argv[2:]:
        with open(path, "rb") as f:
            data = f.read()
        planes, bytes_per_line = data[65], data[66] | data[67] << 8
        if planes != 3 or data[3] != 8:
            sys.exit(f"{path}: not 3 planes of 8 bits")
        line = planes * bytes_per_line
        end, reached = cut(data, ROW, line - TAIL)
        with Image.open(path) as im:
            rgb = im.convert("RGB")
        width, height = rgb.size
        px = rgb.load()
        expected = Image.new("RGB", rgb.size)
        out = expected.load()
        for y in range(height):
            for x in range(width):
                if y < ROW:
                    out[x, y] = px[x, y]
                else:
                    out[x, y] = tuple(px[x, ROW if p * bytes_per_line + x < reached else ROW - 1][p]
                                      for p in range(3))
        base = os.path.join(out_dir, os.path.basename(path))
        with open(base + ".cut.pcx", "wb") as f:
            f.write(data[:end] + bytes([0xC0, 0xAA]) * (line + 8))
        expected.save(base + ".cut.ppm")


if __name__ == "__main__":
    main()
