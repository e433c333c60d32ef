#!/usr/bin/env bash
# PCX conformance: every picture of the shared corpus (hostile/ aside), the
# demo's fish pictures and a set made here with netpbm and ImageMagick, decoded by rxtool into 16-, 24-
# and 32-bit buffers from a file and from memory, must equal Pillow's RGB
# decode pixel for pixel (at 16 bits, the reference reduced to 5-6-5 and
# widened again). Pictures Pillow cannot read are listed, not failed.
# usage: pcx_conformance.sh BUILD_DIR SHARED_DIR
set -u
build_dir=$1
shared_dir=$2
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
rxtool=$build_dir/rxtool
corpus=$shared_dir/corpus/peers/pcx
demo_assets=$here/../../demo/assets

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$rxtool" ] || fail "$rxtool is missing"
[ -d "$corpus" ] || fail "$corpus is missing"
"$python" -c "import PIL" 2>/dev/null || fail "$python has no Pillow"
for tool in ppmtopcx pnmquant ppmtopgm pgmtopbm convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing (netpbm, imagemagick)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Generated pictures: odd widths, every variant, one placed off the origin.
made=$work/made
mkdir -p "$made"
seed=1
for size in 101x77 37x23 13x9; do
  src=$made/src_$size.ppm
  convert -seed $seed -size $size plasma:fractal "$src" || fail "convert cannot make $src"
  seed=$((seed + 1))
  ppmtopcx -24bit "$src" > "$made/netpbm_${size}_24bit.pcx" 2>/dev/null
  pnmquant 256 "$src" 2>/dev/null | ppmtopcx -8bit > "$made/netpbm_${size}_256.pcx" 2>/dev/null
  pnmquant 16 "$src" 2>/dev/null | ppmtopcx > "$made/netpbm_${size}_16c_planes.pcx" 2>/dev/null
  pnmquant 16 "$src" 2>/dev/null | ppmtopcx -xpos 7 -ypos 5 \
    > "$made/netpbm_${size}_16c_at_7_5.pcx" 2>/dev/null
  ppmtopgm "$src" | pgmtopbm | ppmtopcx > "$made/netpbm_${size}_1bit.pcx" 2>/dev/null
  convert "$src" -type palette "PCX:$made/magick_${size}_256.pcx"
  convert "$src" -colors 16 -type palette "PCX:$made/magick_${size}_16.pcx"
  convert "$src" -type truecolor "PCX:$made/magick_${size}_truecolor.pcx"
  convert "$src" -monochrome BMP3:- | convert BMP3:- "PCX:$made/magick_${size}_bilevel.pcx"
  rm "$src"
done

checked=0
listed=()
failed=()
shopt -s nullglob
for picture in "$corpus"/*.pcx "$demo_assets"/*.PCX "$made"/*.pcx; do
  [ -s "$picture" ] || fail "$picture was not made"
  name=$(basename "$picture")
  outputs=()
  for depth in 16 24 32; do
    mode=rgb
    [ $depth = 16 ] && mode=565
    for source in file memory; do
      out=$work/${name%.pcx}_${depth}_$source.ppm
      extra=()
      [ $source = memory ] && extra=(--from-memory)
      if ! timeout 10 "$rxtool" decode "$picture" -o "$out" --depth $depth "${extra[@]}"; then
        failed+=("$name (rxtool, depth $depth, $source)")
        continue
      fi
      outputs+=("$mode:$out")
    done
  done
  "$python" "$here/pcx_compare.py" "$picture" "${outputs[@]}"
  case $? in
    0) checked=$((checked + 1)); echo "equal: $name (16/24/32 bits, file and memory)" ;;
    3) listed+=("$name") ;;
    *) failed+=("$name") ;;
  esac
done

echo "pictures equal to Pillow: $checked"
for name in "${listed[@]}"; do echo "not compared (Pillow cannot read it, or misreads it): $name"; done
for name in "${failed[@]}"; do echo "FAIL: $name"; done
[ $checked -gt 0 ] || fail "nothing was compared"
[ ${#failed[@]} -eq 0 ]
