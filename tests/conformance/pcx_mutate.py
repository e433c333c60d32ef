#!/usr/bin/python3
"""Writes damaged copies of PCX files for the robustness check: truncated
at fixed points and with flipped bits (the same copies on every run).

usage: pcx_mutate.py OUT_DIR FILE...
"""
import os
import random
import sys

# Header fields whose damage matters most: version, bits per plane, the
# four bounds, planes and bytes per line.
HEADER_SPOTS = [1, 3, 4, 5, 8, 9, 10, 11, 65, 66, 67]


def main():
    out_dir, files = sys.argv[1], sys.argv[2:]
    for path in files:
        with open(path, "rb") as f:
            data = f.read()
        base = os.path.basename(path)
        rng = random.Random(base)
        cuts = sorted({127, 129, len(data) // 2, max(len(data) - 769, 0), max(len(data) - 1, 0)})
        for cut in cuts:
            with open(os.path.join(out_dir, f"{base}.cut{cut}"), "wb") as f:
                f.write(data[:cut])
        if not data:
            continue
        for n in range(4):
            damaged = bytearray(data)
            for _ in range(1 + n):
                if n % 2 == 0 and len(damaged) > 67:
                    spot = rng.choice(HEADER_SPOTS)
                else:
                    spot = rng.randrange(len(damaged))
                damaged[spot] ^= 1 << rng.randrange(8)
            with open(os.path.join(out_dir, f"{base}.flip{n}"), "wb") as f:
                f.write(damaged)


if __name__ == "__main__":
    main()
