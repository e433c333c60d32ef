#!/usr/bin/env bash
# rxtool's command line: options in both long forms, standard input and
# output, help texts, exit status and messages for every failure, pixel
# limits before any allocation, pipes, and the frames a flic holds.
# usage: rxtool_cli.sh BUILD_DIR SHARED_DIR
set -u
build=$1
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
rx=$build/rxtool
assets=$source_dir/demo/assets
py=/usr/bin/python3
[ -x "$rx" ] || { echo "no rxtool in $build" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { checks=$((checks + 1)); }

# expect STATUS PATTERN -- COMMAND...: exit status and a message on stderr.
expect() {
  local status=$1 pattern=$2
  shift 3
  timeout 20 "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ $got -ne "$status" ]; then
    fail "$* exited $got, not $status: $(head -c 300 "$work/err")"
  elif [ -n "$pattern" ] && ! grep -qi -- "$pattern" "$work/err"; then
    fail "$*: no message like '$pattern': $(head -c 300 "$work/err")"
  else
    pass
  fi
}

# Peak resident memory of a command, in kilobytes.
peak_kb() {
  /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1
  tail -n 1 "$work/peak"
}

jpg=$assets/AQUARIUM.JPG
pcx=$assets/BLUETANG.PCX
flc=$assets/WHEEL3.FLC

# --- files made here ---------------------------------------------------
"$py" - "$work" <<'PY'
import struct, sys
d = sys.argv[1]
def pcx(w, h, encoding=1, data=b"", bits=8):
    head = struct.pack("<BBBBHHHHHH", 10, 5, encoding, bits, 0, 0, w - 1, h - 1, 72, 72)
    line = w + (w & 1) if bits == 8 else (w + 15) // 16 * 2
    head += bytes(48) + bytes([0, 1]) + struct.pack("<HH", line, 1)
    return head + bytes(128 - len(head)) + data
open(d + "/huge.pcx", "wb").write(pcx(16384, 16384, bits=1))
# 4x2, 256 colours, encoding byte 0, rows of 4 literal bytes, a palette
rows = bytes([1, 2, 3, 4, 0, 5, 6, 7, 8, 0])
pal = bytes([12]) + bytes(range(256)) * 3
open(d + "/enc0.pcx", "wb").write(pcx(4, 2, 0, rows + pal))
open(d + "/enc1.pcx", "wb").write(pcx(4, 2, 1, rows + pal))
def jpeg(w, h):
    sof = bytes([0xFF, 0xC0]) + struct.pack(">HBHH", 17, 8, h, w)
    sof += bytes([3, 1, 0x22, 0, 2, 0x11, 0, 3, 0x11, 0])
    dqt = bytes([0xFF, 0xDB, 0, 67, 0]) + bytes([1] * 64)
    dht = bytes([0xFF, 0xC4, 0, 20, 0]) + bytes([1] + [0] * 15) + bytes([0])
    sos = bytes([0xFF, 0xDA, 0, 12, 3, 1, 0, 2, 0, 3, 0, 0, 63, 0])
    out = bytes([0xFF, 0xD8]) + dqt + sof + dht + sos
    return out + bytes(140 - 2 - len(out)) + bytes([0xFF, 0xD9])
open(d + "/huge.jpg", "wb").write(jpeg(16000, 16000))
open(d + "/short.jpg", "wb").write(jpeg(4000, 4000))
def flic(w, h, size):
    head = struct.pack("<IHHHHHH", size, 0xAF12, 20, w, h, 8, 0) + struct.pack("<I", 66)
    head += bytes(128 - len(head))
    frame = struct.pack("<IHH", 16, 0xF1FA, 0) + bytes(8)
    body = frame * ((size - 128) // 16)
    return head + body
open(d + "/wide.flc", "wb").write(flic(10113, 16384, 448))
open(d + "/tall.flc", "wb").write(flic(16, 20000, 448))
PY

# --- failures are nonzero with a message -------------------------------
expect 2 "not drawn into 8-bit" -- "$rx" decode "$jpg" -o "$work/a.ppm" --depth 8
expect 2 "outside" -- "$rx" decode "$jpg" -o "$work/a.ppm" --at -1000,-1000 --size 10x10
expect 2 "16384" -- "$rx" frames "$work/tall.flc" -o "$work/tall"
expect 2 "No such file" -- "$rx" decode "$work/missing.pcx" -o "$work/a.ppm"
expect 2 "No such file" -- "$rx" info "$work/missing.pcx"
expect 2 "directory" -- "$rx" decode "$work" -o "$work/a.ppm"
expect 2 "not a PCX, JPEG or flic" -- "$rx" decode "$here/rxtool_cli.sh" -o "$work/a.ppm"
if [ "$(id -u)" != 0 ]; then
  cp "$pcx" "$work/locked.pcx" && chmod 000 "$work/locked.pcx"
  expect 2 "Permission denied" -- "$rx" decode "$work/locked.pcx" -o "$work/a.ppm"
fi
expect 3 "cannot write" -- "$rx" decode "$pcx" -o "$work/no/such/dir/a.ppm"

# --- pixel limits before any allocation --------------------------------
expect 2 "max-pixels" -- "$rx" decode "$work/huge.pcx" -o "$work/a.ppm" --depth 32
expect 2 "max-pixels" -- "$rx" decode "$work/huge.jpg" -o "$work/a.ppm"
expect 2 "ends early" -- "$rx" decode "$work/short.jpg" -o "$work/a.ppm" --depth 32
expect 2 "max-pixels" -- "$rx" frames "$work/wide.flc" -o "$work/wide"
[ ! -e "$work/wide/frame_0001.ppm" ] && pass || fail "frames wrote a frame above the limit"
expect 2 "max-pixels" -- "$rx" decode "$pcx" -o "$work/a.ppm" --max-pixels 1000
for f in huge.pcx huge.jpg short.jpg; do
  kb=$(peak_kb "$rx" decode "$work/$f" -o "$work/a.ppm" --depth 32)
  [ "$kb" -lt 65536 ] && pass || fail "$f: peak ${kb} KB before refusing"
done

# --- options in both forms, standard input and output ------------------
"$rx" decode "$pcx" -o "$work/d16a.ppm" --depth 16 && "$rx" decode "$pcx" -o "$work/d16b.ppm" --depth=16 &&
  cmp -s "$work/d16a.ppm" "$work/d16b.ppm" && pass || fail "--depth=16 differs from --depth 16"
"$rx" decode "$pcx" -o "$work/file.ppm" || fail "decode of $pcx"
"$rx" decode "$pcx" -o - >"$work/stdout.ppm" && cmp -s "$work/file.ppm" "$work/stdout.ppm" &&
  pass || fail "-o - differs from the file output"
"$rx" decode - -o - <"$pcx" >"$work/stdin.ppm" && cmp -s "$work/file.ppm" "$work/stdin.ppm" &&
  pass || fail "standard input differs from the file"
cat "$jpg" | "$rx" decode - -o "$work/pipe.ppm" && "$rx" decode "$jpg" -o "$work/jfile.ppm" &&
  cmp -s "$work/pipe.ppm" "$work/jfile.ppm" && pass || fail "a piped JPEG differs from the file"
"$rx" info - <"$pcx" | grep -q "standard input" && pass || fail "info of standard input"
expect 1 "does not write" -- "$rx" decode "$pcx" -o "$work/a.bmp"
[ ! -e "$work/a.bmp" ] && pass || fail "-o a.bmp wrote a file"
expect 1 "unknown option" -- "$rx" decode "$pcx" -o "$work/a.ppm" --bogus
expect 1 "depth must be" -- "$rx" decode "$pcx" -o "$work/a.ppm" --depth=12
"$rx" decode "$pcx" -o "$work/a.png" --png-level=9 && head -c 8 "$work/a.png" | od -An -c | grep -q "P   N   G" &&
  pass || fail "PNG output by extension"
"$rx" decode "$jpg" -o "$work/placed.ppm" --at 10,20 --size 100x50 &&
  [ "$(head -c 15 "$work/placed.ppm" | sed -n 2p)" = "100 50" ] && pass || fail "--at/--size writes the whole buffer"
# 24-bit rows are converted two pixels at a time: odd and even widths equal 32-bit's
for w in 1 2 3 4 5 17; do
  "$rx" decode "$jpg" -o "$work/w24.ppm" --depth 24 --size ${w}x3 &&
    "$rx" decode "$jpg" -o "$work/w32.ppm" --depth 32 --size ${w}x3 &&
    cmp -s "$work/w24.ppm" "$work/w32.ppm" && pass || fail "a ${w}-pixel row differs at 24 and 32 bits"
done

# --- encoding byte, help, version --------------------------------------
"$rx" decode "$work/enc0.pcx" -o "$work/e0.ppm" && "$rx" decode "$work/enc1.pcx" -o "$work/e1.ppm" &&
  cmp -s "$work/e0.ppm" "$work/e1.ppm" && pass || fail "a PCX with encoding byte 0 is refused or differs"
"$rx" --version | grep -Eq '^rxtool [0-9]+\.[0-9]+\.[0-9]+' && pass || fail "--version"
for cmd in info decode frames; do
  "$rx" help $cmd >"$work/help1" && "$rx" $cmd --help >"$work/help2" && cmp -s "$work/help1" "$work/help2" &&
    grep -q "^usage: rxtool $cmd" "$work/help1" && grep -q "example: rxtool $cmd" "$work/help1" &&
    pass || fail "help $cmd and $cmd --help"
done
"$rx" help decode >"$work/help"
for opt in -o --depth --from-memory --no-reduce --keep-palette --at --size --max-pixels --png-level; do
  grep -q -- "^  $opt" "$work/help" && pass || fail "help decode does not explain $opt"
  # the README's rxtool section names every option
  grep -q -- "$opt" "$source_dir/README.md" && pass || fail "README does not name $opt"
done
"$rx" help frames | grep -q -- "--loops" && pass || fail "help frames does not explain --loops"
# show and play: help, the README, and a clear refusal without a display
for cmd in show play; do
  "$rx" help $cmd >"$work/help1" && "$rx" $cmd --help >"$work/help2" && cmp -s "$work/help1" "$work/help2" &&
    grep -q "^usage: rxtool $cmd" "$work/help1" && grep -q "example: rxtool $cmd" "$work/help1" &&
    pass || fail "help $cmd and $cmd --help"
  grep -q "^rxtool $cmd " "$source_dir/README.md" && pass || fail "README does not list rxtool $cmd"
  for opt in --depth --from-memory --no-reduce --keep-palette --max-pixels; do
    grep -q -- "^  $opt" "$work/help1" && pass || fail "help $cmd does not explain $opt"
    sed -n "/^rxtool $cmd /,+1p" "$source_dir/README.md" | grep -q -- "$opt" && pass ||
      fail "README's rxtool $cmd does not name $opt"
  done
  "$rx" --help | grep -q "^  rxtool $cmd" && pass || fail "rxtool --help does not list $cmd"
done
expect 4 "no display" -- env -u DISPLAY -u WAYLAND_DISPLAY "$rx" show "$pcx"
expect 4 "no display" -- env -u DISPLAY -u WAYLAND_DISPLAY "$rx" play "$flc"
expect 2 "rxtool frames plays it" -- env -u DISPLAY "$rx" show "$flc"
expect 2 "not a flic" -- env -u DISPLAY "$rx" play "$pcx"
expect 2 "not drawn into 8-bit" -- env -u DISPLAY "$rx" show "$jpg" --depth 8
expect 1 "unknown option" -- "$rx" show "$pcx" --loops 2

# --- frames: exactly the frames held, a folder made, pipes read once ---
held=$("$rx" info "$flc" | sed -n 's/^  frames: //p')
"$rx" frames "$flc" -o "$work/wheel" >/dev/null
n=$(ls "$work/wheel" | wc -l)
[ "$n" = "$held" ] && pass || fail "frames wrote $n files for a flic of $held frames"
"$rx" frames "$flc" -o "$work/wheel2" --loops 2 >/dev/null
n=$(ls "$work/wheel2" | wc -l)
[ "$n" = $((2 * held)) ] && pass || fail "--loops 2 wrote $n files, not $((2 * held))"
cmp -s "$work/wheel2/frame_0001.ppm" "$work/wheel2/frame_$(printf %04d $((held + 1))).ppm" &&
  cmp -s "$work/wheel2/frame_0002.ppm" "$work/wheel2/frame_$(printf %04d $((held + 2))).ppm" &&
  pass || fail "the second loop does not repeat the first"
mkfifo "$work/fifo"
cat "$flc" >"$work/fifo" &
timeout 20 "$rx" frames "$work/fifo" -o "$work/fifo_frames" >/dev/null
status=$?
n=$(ls "$work/fifo_frames" 2>/dev/null | wc -l)
[ $status = 0 ] && [ "$n" = "$held" ] && pass || fail "frames on a FIFO: exit $status, $n frames of $held"
cat "$jpg" >"$work/fifo" &
timeout 20 "$rx" decode "$work/fifo" -o "$work/fifo.ppm" && cmp -s "$work/fifo.ppm" "$work/jfile.ppm" &&
  pass || fail "decode on a FIFO hangs or differs"
wait

# --- progress only on a terminal: scripts stay quiet ----------------------
"$rx" frames "$flc" -o "$work/quiet" --loops 20 >/dev/null 2>"$work/err" && [ ! -s "$work/err" ] &&
  pass || fail "frames wrote to a standard error that is not a terminal"
if command -v script >/dev/null; then
  script -qec "$rx frames $flc -o $work/loud --loops 20" /dev/null >"$work/tty" 2>&1
  grep -q "frames" "$work/tty" && grep -q "%" "$work/tty" && pass || fail "no progress on a terminal"
fi

# --- SDL2 is loaded by a window, not by starting rxtool ---------------
ldd "$rx" | grep -q libSDL2 && fail "rxtool loads SDL2 at start" || pass

# --- rxtool uses only installed headers --------------------------------
if grep -h '#include "' "$source_dir"/tools/rxtool/*.{cpp,h} | grep -v -e '"rastrix.h"' -e '"rastrix_window.h"' |
    sed 's/.*"\(.*\)".*/\1/' | while read -r h; do [ -f "$source_dir/tools/rxtool/$h" ] || echo "$h"; done | grep -q .; then
  fail "tools/rxtool includes a header that is neither its own nor installed"
else
  pass
fi

echo "rxtool command line: $checks checks passed, $failures failed"
[ $failures -eq 0 ]
