"""Bit-exact JPEG conformance of rxtool against libjpeg-turbo.

usage: jpeg_conformance.py BUILD_DIR SHARED_DIR WORK_DIR

Every baseline 1- or 3-component JPEG of the shared corpus, and pictures
made here with cjpeg (sampling 4:4:4, 4:2:2, 4:2:0, 4:4:0, grayscale;
qualities 10..100; -optimize; -restart; odd sizes from 1x1; every sampling
triple cjpeg writes, Cb and Cr unlike included), are decoded by
`rxtool decode --depth 24` and by jpeg_reference (libjpeg-turbo, islow IDCT,
replication upsampling, Rastrix's colour tables): the pixels must be
identical; so too with fill bytes put before every marker, which djpeg
must decode as it decodes the plain file. Depth 32 must equal depth 24,
depth 16 must keep the top 5-6-5 bits, memory mode must equal file mode.
Files outside baseline must be refused with exit status 2 and the
documented result code.
"""
import itertools
import os
import random
import re
import subprocess
import sys

from PIL import Image

BUILD, SHARED, WORK = sys.argv[1], sys.argv[2], sys.argv[3]
RXTOOL = os.path.join(BUILD, "rxtool")
REFERENCE = os.path.join(BUILD, "jpeg_reference")
failures = []
checked = 0


def fail(message):
    failures.append(message)
    print("FAIL", message)


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    w, h = int(m.group(1)), int(m.group(2))
    return w, h, data[m.end():m.end() + w * h * 3]


def rxtool(path, out, *extra):
    return subprocess.run([RXTOOL, "decode", path, "-o", out, *extra], capture_output=True,
                          text=True, timeout=60)


def first_difference(a, b, w):
    for i in range(min(len(a), len(b))):
        if a[i] != b[i]:
            p = i // 3
            return "first difference at (%d, %d)" % (p % w, p // w)
    return "sizes differ"


def classify(path):
    """The result code rxtool must give, 0 for a supported baseline file."""
    data = open(path, "rb").read()
    at, frame = 2, None
    while at + 4 <= len(data):
        if data[at] != 0xFF:
            return None
        code = data[at + 1]
        if code == 0xFF:
            at += 1
            continue
        if 0xD0 <= code <= 0xD8:
            at += 2
            continue
        length = data[at + 2] << 8 | data[at + 3]
        body = data[at + 4:at + 2 + length]
        if 0xC1 <= code <= 0xCF and code not in (0xC4, 0xC8, 0xCC):
            return 5
        if code == 0xDB:
            i = 0
            while i < len(body):
                if body[i] >> 4 != 0:
                    return 8  # 16-bit entries
                i += 65
        if code == 0xC0:
            n = body[5]
            ids = [body[6 + 3 * i] for i in range(n)]
            sampling = [(body[7 + 3 * i] >> 4, body[7 + 3 * i] & 15) for i in range(n)]
            frame = (body[0], n, ids, sampling)
        if code == 0xDA:
            precision, n, ids, sampling = frame
            if precision != 8 or n not in (1, 3) or sorted(ids) not in ([1, 2, 3][:n], [0, 1, 2][:n]):
                return 6
            if body[0] != n:
                return 11
            return 0
        at += 2 + length
    return None


def compare_supported(path, label):
    global checked
    ref = os.path.join(WORK, "ref.ppm")
    r = subprocess.run([REFERENCE, path, ref], capture_output=True, text=True)
    if r.returncode != 0:
        fail("%s: reference decoder failed: %s" % (label, r.stderr.strip()))
        return
    rw, rh, rp = read_ppm(ref)
    outputs = {}
    for depth in ("24", "32", "16"):
        for memory in ((), ("--from-memory",)):
            out = os.path.join(WORK, "out.ppm")
            r = rxtool(path, out, "--depth", depth, *memory)
            what = "%s depth %s%s" % (label, depth, " memory" if memory else "")
            if r.returncode != 0:
                fail("%s: rxtool exit %d: %s" % (what, r.returncode, r.stderr.strip()))
                continue
            w, h, pixels = read_ppm(out)
            if (w, h) != (rw, rh):
                fail("%s: size %dx%d, reference %dx%d" % (what, w, h, rw, rh))
                continue
            outputs[(depth, bool(memory))] = pixels
            checked += 1
            if depth == "16":
                masks = bytes([0xF8, 0xFC, 0xF8]) * (w * h)
                a = bytes(x & m for x, m in zip(pixels, masks))
                b = bytes(x & m for x, m in zip(rp, masks))
                if a != b:
                    fail("%s: 5-6-5 bits differ, %s" % (what, first_difference(a, b, w)))
            elif pixels != rp:
                fail("%s: pixels differ from libjpeg-turbo, %s" % (what, first_difference(pixels, rp, w)))


def compare_placed(path, label, x, y, bw, bh):
    """--at X,Y --size WxH: the whole buffer, the picture where it lands and
    black around it."""
    global checked
    ref = os.path.join(WORK, "ref.ppm")
    subprocess.run([REFERENCE, path, ref], check=True, capture_output=True)
    rw, rh, rp = read_ppm(ref)
    out = os.path.join(WORK, "out.ppm")
    r = rxtool(path, out, "--at", "%d,%d" % (x, y), "--size", "%dx%d" % (bw, bh))
    if r.returncode != 0:
        fail("%s placed: rxtool exit %d" % (label, r.returncode))
        return
    w, h, pixels = read_ppm(out)
    if (w, h) != (bw, bh):
        fail("%s placed at %d,%d: %dx%d written for a %dx%d buffer" % (label, x, y, w, h, bw, bh))
        return
    for j in range(h):
        for i in range(w):
            px, py = i - x, j - y
            inside = 0 <= px < rw and 0 <= py < rh
            want = rp[(py * rw + px) * 3:(py * rw + px) * 3 + 3] if inside else bytes(3)
            if pixels[(j * w + i) * 3:(j * w + i) * 3 + 3] != want:
                fail("%s placed at %d,%d: pixel (%d, %d) differs" % (label, x, y, i, j))
                return
    checked += 1


def expect_refused(path, label, code):
    global checked
    r = rxtool(path, os.path.join(WORK, "out.ppm"))
    if r.returncode != 2 or ("result %d " % code) not in r.stderr:
        fail("%s: expected exit 2 with result %d, got exit %d: %s"
             % (label, code, r.returncode, r.stderr.strip()))
    checked += 1


def photo(w, h, seed):
    """Smooth gradients, noise and hard edges."""
    rng = random.Random(seed)
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            edge = 90 if (x * 3 + y * 2) % 37 < 12 else 0
            px[x, y] = (min(255, (x * 255) // max(w, 1) + rng.randint(-20, 20) % 256 + edge) % 256,
                        (y * 255) // max(h, 1) ^ (edge // 3),
                        (128 + rng.randint(-60, 60) + (x ^ y)) % 256)
    return img


def cjpeg(source, target, *args):
    with open(target, "wb") as f:
        subprocess.run(["cjpeg", *args, source], stdout=f, check=True)


def cjpeg_samplings():
    """Every Y, Cb, Cr sampling triple with factors 1..4 that cjpeg writes:
    each factor divides the largest one in its direction, and an MCU holds
    at most 10 blocks."""
    factors = [(h, v) for h in range(1, 5) for v in range(1, 5)]
    for triple in itertools.product(factors, repeat=3):
        most_h, most_v = max(f[0] for f in triple), max(f[1] for f in triple)
        if any(most_h % h or most_v % v for h, v in triple):
            continue
        if sum(h * v for h, v in triple) <= 10:
            yield triple


def check_samplings():
    """Decoded bit-exact where every chroma factor divides luma's, else
    refused with result 7."""
    sizes = [(45, 35), (33, 47), (67, 19), (9, 9), (100, 70)]
    for i, triple in enumerate(cjpeg_samplings()):
        w, h = sizes[i % len(sizes)]
        source = os.path.join(WORK, "source_%dx%d.ppm" % (w, h))
        if not os.path.exists(source):
            photo(w, h, w * 1000 + h).save(source)
        sample = ",".join("%dx%d" % f for f in triple)
        target = os.path.join(WORK, "sample_%s.jpg" % sample.replace(",", "_"))
        cjpeg(source, target, "-quality", str(30 + 7 * (i % 10)), "-sample", sample)
        (lh, lv), chroma = triple[0], triple[1:]
        if all(lh % ch == 0 and lv % cv == 0 for ch, cv in chroma):
            compare_supported(target, "sampling " + sample)
        else:
            expect_refused(target, "sampling " + sample, 7)


def with_fill(data, count):
    """data with count fill bytes 0xFF put before every marker after SOI:
    between segments, before the restart markers inside a scan, before EOI."""
    out, at, in_scan = bytearray(data[:2]), 2, False
    while at + 1 < len(data):
        if in_scan and not (data[at] == 0xFF and data[at + 1] != 0x00):
            step = 2 if data[at] == 0xFF else 1  # stuffed 0xFF 0x00 stays whole
            out += data[at:at + step]
            at += step
            continue
        code = data[at + 1]
        out += b"\xff" * count + bytes([0xFF, code])
        at += 2
        in_scan = 0xD0 <= code <= 0xD7
        if in_scan or code == 0xD9:
            continue
        length = data[at] << 8 | data[at + 1]
        out += data[at:at + length]
        at += length
        in_scan = code == 0xDA
    return bytes(out)


def djpeg(path):
    """djpeg's islow decode without fancy upsampling, as PNM bytes."""
    return subprocess.run(["djpeg", "-dct", "int", "-nosmooth", "-pnm", path], check=True,
                          capture_output=True).stdout


def check_fill_bytes():
    """Fill bytes before markers change nothing: rxtool decodes the filled
    file from file and memory as the reference decodes it, djpeg decodes it
    byte for byte as the plain file, and for grayscale rxtool's samples are
    djpeg's."""
    global checked
    cases = (("gray", (101, 77), ["-grayscale", "-restart", "2"]),
             ("420", (101, 77), ["-sample", "2x2", "-restart", "1"]),
             ("422-optimized", (67, 19), ["-sample", "2x1", "-optimize", "-restart", "3B"]),
             ("wide-444", (640, 48), ["-sample", "1x1"]))
    for i, (label, (w, h), args) in enumerate(cases):
        source = os.path.join(WORK, "source_%dx%d.ppm" % (w, h))
        if not os.path.exists(source):
            photo(w, h, w * 1000 + h).save(source)
        plain = os.path.join(WORK, "plain_%s.jpg" % label)
        cjpeg(source, plain, "-quality", "80", "-baseline", *args)
        data = open(plain, "rb").read()
        filled = os.path.join(WORK, "fill_%s.jpg" % label)
        with open(filled, "wb") as f:
            f.write(with_fill(data, 1 + i % 3))
        compare_supported(filled, "fill bytes " + label)
        reference = djpeg(filled)
        if reference != djpeg(plain):
            fail("fill bytes %s: djpeg decodes the filled file differently" % label)
        if label == "gray":
            out = os.path.join(WORK, "out.ppm")
            for memory in ((), ("--from-memory",)):
                r = rxtool(filled, out, *memory)
                if r.returncode != 0:
                    fail("fill bytes gray%s: rxtool exit %d" % (" memory" if memory else "", r.returncode))
                    continue
                _, _, pixels = read_ppm(out)
                m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", reference)
                if pixels[0::3] != reference[m.end():]:
                    fail("fill bytes gray%s: samples differ from djpeg" % (" memory" if memory else ""))
                checked += 1


def main():
    os.makedirs(WORK, exist_ok=True)
    corpus = os.path.join(SHARED, "corpus", "peers", "jpeg")
    for name in sorted(os.listdir(corpus)):
        path = os.path.join(corpus, name)
        if not os.path.isfile(path):
            continue
        code = classify(path)
        print("corpus %-45s expected %s" % (name, "decoded" if code == 0 else "result %s" % code))
        if code == 0:
            compare_supported(path, name)
        elif code is not None:
            expect_refused(path, name, code)

    sizes = [(1, 1), (2, 3), (7, 5), (8, 8), (9, 17), (15, 15), (16, 16), (17, 31), (33, 47),
             (64, 48), (101, 77), (250, 3), (3, 250)]
    samplings = ["1x1", "2x1", "2x2", "1x2", "gray"]
    qualities = [10, 25, 50, 75, 90, 100]
    extras = [(), ("-optimize",), ("-restart", "1"), ("-restart", "3B"), ("-optimize", "-restart", "2")]
    case = 0
    for w, h in sizes:
        source = os.path.join(WORK, "source_%dx%d.ppm" % (w, h))
        photo(w, h, w * 1000 + h).save(source)
        for sampling in samplings:
            quality = qualities[case % len(qualities)]
            extra = extras[case % len(extras)]
            case += 1
            args = ["-quality", str(quality), "-baseline", *extra]
            args += ["-grayscale"] if sampling == "gray" else ["-sample", sampling]
            target = os.path.join(WORK, "gen_%dx%d_%s_q%d_%d.jpg" % (w, h, sampling, quality, case))
            cjpeg(source, target, *args)
            compare_supported(target, os.path.basename(target) + " " + " ".join(extra))
    big = os.path.join(WORK, "source_640x480.ppm")
    photo(640, 480, 7).save(big)
    for sampling in ("2x2", "1x1"):
        target = os.path.join(WORK, "gen_640x480_%s.jpg" % sampling)
        cjpeg(big, target, "-quality", "75", "-sample", sampling)
        compare_supported(target, os.path.basename(target))
    placed = os.path.join(WORK, "gen_101x77_placed.jpg")
    cjpeg(os.path.join(WORK, "source_101x77.ppm"), placed, "-sample", "2x2")
    for x, y, bw, bh in ((-5, -3, 60, 50), (30, 20, 90, 60), (0, 0, 40, 90)):
        compare_placed(placed, "gen_101x77", x, y, bw, bh)

    check_samplings()
    check_fill_bytes()

    small = os.path.join(WORK, "source_33x47.ppm")
    for label, args, code in (("progressive", ["-progressive"], 5), ("arithmetic", ["-arithmetic"], 5),
                              ("rgb-identifiers", ["-rgb"], 6)):
        target = os.path.join(WORK, "refuse_%s.jpg" % label)
        cjpeg(small, target, *args)
        expect_refused(target, label, code)
    scans = os.path.join(WORK, "scans.txt")
    with open(scans, "w") as f:
        f.write("0;\n1;\n2;\n")
    target = os.path.join(WORK, "refuse_multiscan.jpg")
    cjpeg(small, target, "-scans", scans)
    expect_refused(target, "multi-scan", 11)

    print("%d comparisons, %d failures" % (checked, len(failures)))
    return 1 if failures or checked == 0 else 0


sys.exit(main())
