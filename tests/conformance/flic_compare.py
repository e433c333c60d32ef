"""Compares rxtool's flic frames with FFmpeg's, and rxtool's 16- and 32-bit
frames with its 24-bit ones.

  flic_compare.py FLIC FFMPEG_DIR DIR24 DIR24_MEMORY DIR16 DIR32

Exact where the flic's colours come from 256-level palette chunks; within 1
per channel where a 64-level chunk sets them (FFmpeg widens 6-bit values as
(v << 2) | (v >> 4), the player as v * 255 / 63). Prints one line; exit 1
on a disagreement."""
import glob
import os
import struct
import sys

from PIL import Image, ImageChops


def sub_chunk_kinds(path):
    """The sub-chunk types of each frame chunk, in order."""
    data = open(path, "rb").read()
    at = 128
    result = []
    while at + 6 <= len(data):
        size, kind = struct.unpack_from("<IH", data, at)
        if size < 6:
            break
        if kind == 0xF1FA and at + 16 <= len(data):
            kinds = []
            sub = at + 16
            for _ in range(struct.unpack_from("<H", data, at + 6)[0]):
                if sub + 6 > len(data):
                    break
                sub_size, sub_kind = struct.unpack_from("<IH", data, sub)
                kinds.append(sub_kind)
                if sub_size < 6:
                    break
                sub += sub_size
            result.append(kinds)
        at += size
    return result


PALETTE = (4, 11)
PIXELS = (7, 12, 13, 15, 16)


def palette_after_pixels(frames_kinds):
    for kinds in frames_kinds:
        drawn = False
        for k in kinds:
            drawn = drawn or k in PIXELS
            if drawn and k in PALETTE:
                return True
    return False


def frames(folder):
    return sorted(glob.glob(os.path.join(folder, "*.p[np][gm]")))


def rgb(path):
    with Image.open(path) as im:
        return im.convert("RGB")


def pillow_frames(flic, folder):
    from PIL import ImageSequence
    try:
        with Image.open(flic) as im:
            for n, frame in enumerate(ImageSequence.Iterator(im)):
                frame.convert("RGB").save(os.path.join(folder, "pillow%04d.png" % (n + 1)))
    except Exception:
        pass
    return frames(folder)


def max_diff(a, b):
    if a.size != b.size:
        return 999
    return max(hi for lo, hi in ImageChops.difference(a, b).getextrema())


def as_565(im):
    """What a 16-bit buffer shows for 24-bit colours: 5-6-5, widened."""
    r, g, b = im.split()
    w5 = [(v >> 3) * 255 // 31 for v in range(256)]
    w6 = [(v >> 2) * 255 // 63 for v in range(256)]
    return Image.merge("RGB", (r.point(w5), g.point(w6), b.point(w5)))


def main():
    flic, ref_dir, d24, d24m, d16, d32 = sys.argv[1:7]
    name = os.path.basename(flic)
    kinds = sub_chunk_kinds(flic)
    tolerance = 1 if any(11 in k for k in kinds) else 0
    ours, memory, ref = frames(d24), frames(d24m), frames(ref_dir)
    reference = "FFmpeg"
    if not ref:
        # FFmpeg writes nothing for a flic whose only frame chunk claims a
        # byte more than the file holds; Pillow decodes it.
        ref, reference = pillow_frames(flic, ref_dir), "Pillow"
    problems = []
    if len(memory) != len(ours):
        problems.append("memory source played %d frames, file source %d" % (len(memory), len(ours)))
    common = min(len(ours), len(ref))
    note = ""
    if palette_after_pixels(kinds):
        # Pixels keep the colours they were drawn with (16/24/32 bits); the
        # peers colour the finished 8-bit frame with the palette as it ends.
        common = 0
        note = " (not compared: a palette chunk follows a pixel chunk in one frame)"
    worst = 0
    for i in range(common):
        d = max_diff(rgb(ours[i]), rgb(ref[i]))
        worst = max(worst, d)
        if d > tolerance:
            problems.append("frame %d differs from %s by %d" % (i + 1, reference, d))
            break
    for i in range(min(len(ours), len(memory))):
        if max_diff(rgb(ours[i]), rgb(memory[i])) != 0:
            problems.append("frame %d differs between file and memory" % (i + 1))
            break
    for folder, convert, label in ((d32, lambda im: im, "32"), (d16, as_565, "16")):
        other = frames(folder)
        if len(other) != len(ours):
            problems.append("%s-bit played %d frames" % (label, len(other)))
        for i in range(min(len(other), len(ours))):
            if max_diff(rgb(other[i]), convert(rgb(ours[i]))) != 0:
                problems.append("%s-bit frame %d disagrees with 24-bit" % (label, i + 1))
                break
    extra = ""
    if len(ours) != len(ref):
        extra = " (rastrix %d frames, %s %d: compared the first %d)" % (
            len(ours), reference, len(ref), common)
    verdict = "FAIL: " + "; ".join(problems) if problems else "ok"
    print("%-40s %s, %d frame(s) compared with %s, max diff %d (allowed %d)%s"
          % (name, verdict, common, reference, worst, tolerance, extra + note))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
