#!/usr/bin/python3
"""Checks the demo pictures with reference decoders (Pillow): every picture
opens, and the wheel flic's border matches the photograph it covers.

    tools/assetgen/seam_check.py [demo/assets]

Prints, for all wheel frames, the mean and worst channel difference along
the seam (the wheel's left three columns and top three rows against the
photograph beneath), beside the photograph's own difference between two
neighbouring columns at the seam for scale."""
import sys
from pathlib import Path

from PIL import Image

LEFT, TOP = 454, 327  # where the demo puts the wheel's top-left pixel
folder = Path(sys.argv[1] if len(sys.argv) > 1 else "demo/assets")

for name in ["AQUARIUM.JPG", "BLUEDAMS.PCX", "BLUETANG.PCX", "BUTTRFLY.PCX", "GUDGEON.PCX",
             "KILLIFSH.PCX", "SEAHORSE.PCX", "WHEEL3.FLC"]:
    with Image.open(folder / name) as im:
        print(f"{name:13} {im.format:4} {im.size[0]}x{im.size[1]} {getattr(im, 'n_frames', 1)} frame(s)")

photo = Image.open(folder / "AQUARIUM.JPG").convert("RGB").load()
wheel = Image.open(folder / "WHEEL3.FLC")
total = worst = count = 0
for frame in range(wheel.n_frames):
    wheel.seek(frame)
    px = wheel.convert("RGB").load()
    for y in range(wheel.size[1]):
        for x in range(wheel.size[0]):
            if x > 2 and y > 2:
                continue
            a, b = px[x, y], photo[LEFT + x, TOP + y]
            d = max(abs(a[i] - b[i]) for i in range(3))
            total, worst, count = total + d, max(worst, d), count + 1
natural = sum(max(abs(photo[LEFT - 1, y][i] - photo[LEFT, y][i]) for i in range(3))
              for y in range(TOP, 480)) / (480 - TOP)
print(f"seam: mean {total / count:.2f}, worst {worst}; photograph's own column step {natural:.2f}")
