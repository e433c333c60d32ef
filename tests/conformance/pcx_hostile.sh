#!/usr/bin/env bash
# PCX robustness: every picture under corpus/peers/pcx/hostile/, plus
# truncated and bit-flipped copies of those and of one ordinary corpus
# picture of each variant, decoded by rxtool at every depth from a file and from memory.
# Each run must end with exit status 0 (drawn) or 2 (refused): never a
# signal, a sanitizer report or a hang. Under the ASan build this is the
# proof that damaged input is handled safely.
# usage: pcx_hostile.sh BUILD_DIR SHARED_DIR
set -u
build_dir=$1
shared_dir=$2
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
rxtool=$build_dir/rxtool
corpus=$shared_dir/corpus/peers/pcx

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$rxtool" ] || fail "$rxtool is missing"
[ -d "$corpus/hostile" ] || fail "$corpus/hostile is missing"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/damaged"
sound=(allegro5_planet.pcx allegro5_rgb.pcx gen-netpbm_hopper_101x77_16c_4plane.pcx
       pillow_pil184.pcx pillow_odd_stride.pcx)
"$python" "$here/pcx_mutate.py" "$work/damaged" "$corpus"/hostile/* "${sound[@]/#/$corpus/}" ||
  fail "cannot make the damaged copies"

runs=0
bad=()
for picture in "$corpus"/hostile/* "$work"/damaged/*; do
  for depth in 8 16 24 32; do
    for source in file memory; do
      extra=()
      [ $source = memory ] && extra=(--from-memory)
      timeout 10 "$rxtool" decode "$picture" -o "$work/out.ppm" --depth $depth "${extra[@]}" \
        >/dev/null 2>"$work/stderr"
      status=$?
      runs=$((runs + 1))
      if [ $status -ne 0 ] && [ $status -ne 2 ]; then
        bad+=("$(basename "$picture") depth $depth $source: exit status $status")
        head -5 "$work/stderr"
      fi
    done
  done
done

echo "rxtool runs on hostile and damaged PCX input: $runs"
for line in "${bad[@]}"; do echo "FAIL: $line"; done
[ ${#bad[@]} -eq 0 ]
