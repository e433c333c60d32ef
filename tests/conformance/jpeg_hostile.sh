#!/usr/bin/env bash
# JPEG robustness: hostile corpus files plus truncated and bit-flipped
# copies (deterministic), file and memory mode, depths 16/24/32. rxtool
# must exit 0 or 2 within 10 seconds, never crash.
# usage: jpeg_hostile.sh BUILD_DIR SHARED_DIR
set -eu
build=$1 shared=$2
rxtool=$build/rxtool
[ -x "$rxtool" ] || { echo "missing $rxtool" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$shared" "$work" <<'PY'
import os, random, sys
shared, work = sys.argv[1], sys.argv[2]
peers = os.path.join(shared, "corpus", "peers", "jpeg")
hostile = os.path.join(peers, "hostile")
rng = random.Random(20261208)
for name in sorted(os.listdir(hostile)):
    data = open(os.path.join(hostile, name), "rb").read()
    open(os.path.join(work, name), "wb").write(data)
# Damaged copies of a few well-formed files: cut at several points, and
# with bytes flipped in the headers and in the entropy-coded data.
for name in ("gen-cjpeg_hopper_101x77_420_dri5.jpg", "gen-cjpeg_hopper_gray_dri7.jpg",
             "pillow_hopper.jpg", "sail_bpp24-ycbcr.422.jpeg"):
    data = open(os.path.join(peers, name), "rb").read()
    stem = os.path.splitext(name)[0]
    for cut in (2, 3, 20, 100, 300, len(data) // 3, len(data) // 2, len(data) - 2):
        open(os.path.join(work, "%s_cut%d.jpg" % (stem, cut)), "wb").write(data[:cut])
    for n in range(12):
        b = bytearray(data)
        limit = 700 if n < 6 else len(b)
        for _ in range(1 + n % 4):
            i = rng.randrange(2, min(limit, len(b)))
            b[i] ^= 1 << rng.randrange(8)
        open(os.path.join(work, "%s_flip%d.jpg" % (stem, n)), "wb").write(bytes(b))
PY
failures=0 runs=0
for f in "$work"/*.jpg; do
  for depth in 16 24 32; do
    for mode in "" --from-memory; do
      runs=$((runs + 1))
      status=0
      timeout 10 "$rxtool" decode "$f" -o "$work/out.ppm" --depth $depth $mode \
        >/dev/null 2>"$work/err" || status=$?
      if [ $status -ne 0 ] && [ $status -ne 2 ]; then
        echo "FAIL $(basename "$f") depth $depth $mode: exit $status"
        head -5 "$work/err"
        failures=$((failures + 1))
      fi
    done
  done
done
echo "$runs hostile decodes, $failures failures"
[ $failures -eq 0 ]
