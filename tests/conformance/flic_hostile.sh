#!/usr/bin/env bash
# Robustness: every hostile corpus flic, plus truncated and bit-flipped
# copies of the good ones, played with rxtool from file and from memory at
# 8, 16, 24 and 32 bits. Each run must end within 10 s with exit 0 (played)
# or 2 (refused); anything else (a crash, a sanitizer report, a hang) fails.
#
#   bash flic_hostile.sh BUILD_DIR SHARED_DIR
set -u
BUILD=$1
SHARED=$2
RXTOOL="$BUILD/rxtool"
PY=/usr/bin/python3
CORPUS="$SHARED/corpus/peers/flic"

[ -x "$RXTOOL" ] || { echo "no rxtool in $BUILD" >&2; exit 1; }
[ -d "$CORPUS/hostile" ] || { echo "no hostile corpus at $CORPUS/hostile" >&2; exit 1; }

WORK=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/files"
cp "$CORPUS"/hostile/* "$WORK/files/"

# Damaged copies of the good flics, the same on every run.
"$PY" - "$CORPUS" "$WORK/files" <<'PYEOF' || exit 1
import os, random, sys
src, dst = sys.argv[1:3]
rng = random.Random(20261208)
for name in sorted(os.listdir(src)):
    path = os.path.join(src, name)
    if not os.path.isfile(path):
        continue
    data = open(path, "rb").read()
    for cut in (100, 134, len(data) // 10, len(data) * 2 // 5, len(data) * 4 // 5, len(data) - 1):
        open(os.path.join(dst, "%s.cut%d" % (name, cut)), "wb").write(data[:cut])
    if len(data) > 60000:
        continue  # flipped copies of long flics would write hundreds of frames
    for k in range(6):
        b = bytearray(data)
        for _ in range(1 + 4 * k):
            at = rng.randrange(128 if k % 2 else 0, len(b))
            b[at] ^= 1 << rng.randrange(8)
        open(os.path.join(dst, "%s.flip%d" % (name, k)), "wb").write(bytes(b))
PYEOF

runs=0
failed=0
echo "flic robustness: rxtool frames on $(ls "$WORK/files" | wc -l) hostile or damaged flics"
for f in "$WORK"/files/*; do
    for depth in 8 16 24 32; do
        for source in "" --from-memory; do
            out="$WORK/out"
            rm -rf "$out"
            mkdir -p "$out"
            timeout 10 "$RXTOOL" frames "$f" -o "$out" --depth "$depth" $source \
                >/dev/null 2>"$WORK/stderr"
            rc=$?
            runs=$((runs + 1))
            if [ $rc -ne 0 ] && [ $rc -ne 2 ]; then
                failed=$((failed + 1))
                echo "FAIL: $(basename "$f") --depth $depth $source: exit $rc"
                head -n 5 "$WORK/stderr"
            fi
        done
    done
done
echo "$runs run(s), $failed failed"
[ $failed -eq 0 ]
