#!/usr/bin/env bash
# PCX conformance: every picture of the shared corpus (hostile/ aside), the
# demo's fish pictures and a set made here with netpbm, ImageMagick and
# Pillow, decoded by rxtool into 16-, 24- and 32-bit buffers from a file and
# from memory, must equal Pillow's RGB decode pixel for pixel (at 16 bits,
# the reference reduced to 5-6-5 and widened again). Pictures Pillow cannot
# read are listed, not failed. The 2-colour ones made here must also equal
# netpbm's reading, and pictures with alpha (4 planes of 8 bits, as
# ImageMagick writes them) must be refused and named so by rxtool info.
# Copies of each tool's 24-bit picture whose data ends inside a line must
# show the picture pcx_cut_in_line.py expects.
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
for tool in ppmtopcx pcxtoppm pnmquant ppmtopgm pgmtopbm convert; do
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
  convert "$src" -alpha set -channel A -fx "i/w" +channel "PCX:$work/magick_${size}_alpha.pcx"
  # Pillow leaves a 1-bit picture's header palette blank (all black) and
  # pads 24-bit lines of odd widths by one byte.
  "$python" - "$src" "$made/pillow_$size" <<'PY' || fail "Pillow cannot write $made/pillow_$size"
import sys
from PIL import Image
src, out = sys.argv[1], sys.argv[2]
with Image.open(src) as im:
    im.convert("1").save(out + "_1bit.pcx")
    im.convert("RGB").save(out + "_24bit.pcx")
    im.convert("P", palette=Image.Palette.ADAPTIVE).save(out + "_256.pcx")
with open(out + "_1bit.pcx", "rb") as f:
    head = f.read(128)
if head[16:22] != bytes(6):
    sys.exit(f"{out}_1bit.pcx: header colours 0 and 1 are not both black")
with open(out + "_24bit.pcx", "rb") as f:
    head = f.read(128)
width = (head[8] | head[9] << 8) + 1
if head[65] != 3 or head[66] | head[67] << 8 != width + width % 2:
    sys.exit(f"{out}_24bit.pcx: not 3 planes with lines padded to even")
PY
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

# 2-colour pictures: netpbm reads a blank header palette as black and
# white, as Pillow reads every 1-bit picture.
netpbm_checked=0
for picture in "$made"/*1bit.pcx "$made"/*bilevel.pcx; do
  name=$(basename "$picture")
  pcxtoppm "$picture" > "$work/netpbm.ppm" 2>/dev/null || { failed+=("$name (pcxtoppm)"); continue; }
  "$rxtool" decode "$picture" -o "$work/rx.ppm" --depth 24 &&
    "$python" "$here/pcx_compare.py" --reference "$work/netpbm.ppm" "$picture" "rgb:$work/rx.ppm" &&
    netpbm_checked=$((netpbm_checked + 1)) || failed+=("$name (against netpbm)")
done
[ $netpbm_checked -ge 9 ] || failed+=("only $netpbm_checked 2-colour pictures compared with netpbm")

# Data that ends near a line's end, after empty runs, in each tool's 24-bit
# picture: the line keeps its old bytes wherever the word-at-a-time decode
# of long lines stopped and whatever the source.
cut=$work/cut
mkdir -p "$cut"
"$python" "$here/pcx_cut_in_line.py" "$cut" "$made"/netpbm_101x77_24bit.pcx \
  "$made"/magick_101x77_truecolor.pcx "$made"/pillow_101x77_24bit.pcx || fail "cannot cut the lines"
cut_checked=0
for picture in "$cut"/*.cut.pcx; do
  name=$(basename "$picture")
  outputs=()
  for depth in 16 24 32; do
    mode=rgb
    [ $depth = 16 ] && mode=565
    for source in file memory; do
      out=$cut/${name%.pcx}_${depth}_$source.ppm
      extra=()
      [ $source = memory ] && extra=(--from-memory)
      "$rxtool" decode "$picture" -o "$out" --depth $depth "${extra[@]}" && outputs+=("$mode:$out") ||
        failed+=("$name (rxtool, depth $depth, $source)")
    done
  done
  "$python" "$here/pcx_compare.py" --reference "${picture%.pcx}.ppm" "$picture" "${outputs[@]}" &&
    cut_checked=$((cut_checked + 1)) || failed+=("$name")
done
[ $cut_checked -eq 3 ] || failed+=("only $cut_checked pictures cut inside a line compared")

# Pictures with alpha: ImageMagick writes 4 planes of 8 bits.
alpha_checked=0
for picture in "$work"/magick_*_alpha.pcx; do
  name=$(basename "$picture")
  "$python" -c 'import sys; h = open(sys.argv[1], "rb").read(128); sys.exit(h[65] != 4 or h[3] != 8)' \
    "$picture" || { failed+=("$name (ImageMagick wrote no 4 planes of 8 bits)"); continue; }
  "$rxtool" info "$picture" 2>/dev/null | grep -q "variant: RGBA, 4 planes of 8 bits: not supported" ||
    failed+=("$name (rxtool info)")
  for depth in 8 16 24 32; do
    for source in file memory; do
      extra=()
      [ $source = memory ] && extra=(--from-memory)
      "$rxtool" decode "$picture" -o "$work/alpha.ppm" --depth $depth "${extra[@]}" 2>"$work/err"
      status=$?
      grep -q "result 3" "$work/err" && [ $status = 2 ] ||
        failed+=("$name (depth $depth, $source: exit status $status, $(head -c 200 "$work/err"))")
    done
  done
  alpha_checked=$((alpha_checked + 1))
done
[ $alpha_checked -eq 3 ] || failed+=("only $alpha_checked pictures with alpha made")

echo "pictures equal to Pillow: $checked"
echo "2-colour pictures equal to netpbm: $netpbm_checked"
echo "pictures with alpha refused: $alpha_checked"
echo "pictures cut inside a line equal to the expected: $cut_checked"
for name in "${listed[@]}"; do echo "not compared (Pillow cannot read it, or misreads it): $name"; done
for name in "${failed[@]}"; do echo "FAIL: $name"; done
[ $checked -gt 0 ] || fail "nothing was compared"
[ ${#failed[@]} -eq 0 ]
