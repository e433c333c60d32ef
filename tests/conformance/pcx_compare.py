#!/usr/bin/python3
"""Compares pictures decoded by rxtool (binary PPM) with Pillow's RGB decode.

usage: pcx_compare.py [--reference REFERENCE.ppm] PICTURE.pcx
                      rgb:DECODED.ppm|565:DECODED.ppm ...
Exit status: 0 all equal, 1 some differ, 3 Pillow cannot read the picture
(or is known to misread it), so it is listed rather than compared.
With --reference the reference is that binary PPM (another reader's
decode) instead of Pillow's.
In 565 mode the reference is first reduced to 5-6-5 and widened again
(v * 255 / 31 and v * 255 / 63, truncated), as a 16-bit buffer holds it.
"""
import sys

from PIL import Image


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6":
        raise ValueError("not a binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height * 3]


def widen565(rgb):
    out = bytearray(len(rgb))
    for i in range(0, len(rgb), 3):
        r, g, b = rgb[i] >> 3, rgb[i + 1] >> 2, rgb[i + 2] >> 3
        out[i], out[i + 1], out[i + 2] = r * 255 // 31, g * 255 // 63, b * 255 // 31
    return bytes(out)


def pillow_misreads(picture):
    """Pillow unpacks 1-bit multi-plane lines as if each plane were exactly
    (width + 7) // 8 bytes, ignoring a larger bytes-per-line padding."""
    with open(picture, "rb") as f:
        head = f.read(128)
    if len(head) < 128:
        return False
    width = (head[8] | head[9] << 8) - (head[4] | head[5] << 8) + 1
    bits, planes, bytes_per_line = head[3], head[65], head[66] | head[67] << 8
    return bits == 1 and planes in (2, 4) and bytes_per_line != (width + 7) // 8


def compare(picture, reference, mode, decoded, who="Pillow"):
    width, height, rgb = read_ppm(decoded)
    if (width, height) != reference.size:
        print(f"{picture}: {decoded}: size {width}x{height}, "
              f"{who} {reference.size[0]}x{reference.size[1]}")
        return False
    expected = reference.tobytes()
    if mode == "565":
        expected = widen565(expected)
    if rgb == expected:
        return True
    for i in range(0, len(rgb), 3):
        if rgb[i:i + 3] != expected[i:i + 3]:
            x, y = (i // 3) % width, (i // 3) // width
            print(f"{picture}: {decoded}: first difference at ({x},{y}): "
                  f"got {tuple(rgb[i:i + 3])}, {who} {tuple(expected[i:i + 3])}")
            break
    return False


def main():
    args = sys.argv[1:]
    if args[0] == "--reference":
        width, height, rgb = read_ppm(args[1])
        reference = Image.frombytes("RGB", (width, height), rgb)
        picture, items = args[2], args[3:]
        return 0 if all([compare(picture, reference, *item.split(":", 1), who="reference")
                         for item in items]) else 1
    picture = sys.argv[1]
    if pillow_misreads(picture):
        print(f"Pillow misreads padded bit planes of {picture}")
        return 3
    try:
        with Image.open(picture) as im:
            im.load()
            reference = im.convert("RGB")
    except Exception as e:
        print(f"Pillow cannot read {picture}: {e}")
        return 3
    equal = True
    for item in sys.argv[2:]:
        mode, decoded = item.split(":", 1)
        equal = compare(picture, reference, mode, decoded) and equal
    return 0 if equal else 1


if __name__ == "__main__":
    sys.exit(main())
