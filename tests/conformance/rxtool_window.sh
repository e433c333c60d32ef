#!/usr/bin/env bash
# rxtool show and play under Xvfb: a screenshot of show's window equals
# rxtool decode of the same file at the same depth, a picture larger than
# the desktop gets a window that fits, Escape and Q end; play shows frame N
# of a flic N frame delays after the first (within one frame), loops,
# Space pauses and goes on, Escape ends. Exit 77 (skipped) without xvfb-run.
# Usage: rxtool_window.sh BUILD_DIR SHARED_DIR
set -u
if [ "${1:-}" != --inside ]; then
  command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is not installed"; exit 77; }
  for tool in xdotool xwininfo import compare convert /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps test)"; exit 1; }
  done
  build=$(cd "$1" && pwd)
  [ -x "$build/rxtool" ] || { echo "FAIL: no rxtool in $build"; exit 1; }
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  # A server number of its own: scripts that start at the usual first number
  # at the same moment could otherwise share one server.
  exec timeout 300 xvfb-run -a -n $((200 + $$ % 3000)) -s "-screen 0 800x600x24 -noreset" bash "$0" --inside "$build"
fi

build=$2
rx=$build/rxtool
here=$(cd "$(dirname "$0")" && pwd)
assets=$here/../../demo/assets
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { checks=$((checks + 1)); }
now_ms() { date +%s%3N; }

# The window of a running rxtool, by its process, once it is on the screen;
# waited for up to 10 s. Asked again at every use: the renderer may make
# the window anew while it starts.
window_of() {  # pid
  local id
  for _ in $(seq 100); do
    for id in $(xdotool search --all --pid "$1" --name "^rxtool" 2>/dev/null); do
      xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}

# Sends keys to the window of a running rxtool. A window that closes on
# the press can leave the key down (xdotool's release finds no window), and
# the server's key repeat would then end the next program: release them.
keys() {  # pid key...
  local id
  id=$(window_of "$1") && xdotool key --window "$id" "${@:2}" 2>/dev/null
  xdotool keyup "${@:2}" 2>/dev/null
}

# Waits up to 5 s for a process to end; its exit status, or 124 when it
# had to be killed.
ends_within() {  # pid
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$1" 2>/dev/null; then kill "$1"; wait "$1"; return 124; fi
  wait "$1"
}

# A screenshot of the inside of a running rxtool's window. The desktop is
# taken whole and cut: `import -window ID` can hang on a window that has
# just been mapped.
shoot() {  # pid out.png
  local id geometry
  id=$(window_of "$1") || return 1
  geometry=$(xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ {x = $NF}
    /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF}
    END {if (w) printf "%dx%d+%d+%d", w, h, x, y}')
  [ -n "$geometry" ] || return 1
  timeout 10 import -window root "$work/root.png" 2>/dev/null &&
    convert "$work/root.png" -crop "$geometry" +repage "$2"
}

# The red, green, blue of one pixel of a picture, as "R G B".
pixel() {  # file x y
  convert "$1[1x1+$2+$3]" -depth 8 rgb:- | od -An -tu1 | xargs
}

# --- show equals decode --------------------------------------------------
jpeg=$work/cjpeg.jpg
if command -v cjpeg >/dev/null; then
  # A picture written here, an odd size with 4:2:0 sampling.
  convert -size 203x151 gradient:orange-navy -swirl 90 "$work/source.ppm" &&
    cjpeg -quality 80 -sample 2x2 "$work/source.ppm" >"$jpeg" || fail "cjpeg"
else
  cp "$assets/AQUARIUM.JPG" "$jpeg"
fi

show_matches() {  # file depth key
  local file=$1 depth=$2 key=$3 name
  name=$(basename "$file")_$depth
  "$rx" decode "$file" -o "$work/$name.expected.ppm" --depth "$depth" || { fail "decode $name"; return; }
  "$rx" show "$file" --depth "$depth" >"$work/$name.log" 2>&1 &
  local pid=$! diff=unknown
  if ! window_of $pid >/dev/null; then
    fail "show $name: no window"; cat "$work/$name.log"; kill $pid; wait $pid; return
  fi
  # Until the window is up and drawn: at most 5 s.
  for _ in $(seq 25); do
    sleep 0.2
    shoot $pid "$work/$name.png" || continue
    diff=$(compare -metric AE "$work/$name.png" "$work/$name.expected.ppm" null: 2>&1 | cut -d' ' -f1)
    [ "$diff" = 0 ] && break
  done
  [ "$diff" = 0 ] && pass || fail "show $name: $diff pixels differ from decode"
  keys $pid "$key"
  ends_within $pid && pass || fail "show $name: did not end with exit 0 on $key"
}
show_matches "$jpeg" 16 Escape
show_matches "$jpeg" 24 q
show_matches "$jpeg" 32 Escape
show_matches "$assets/BLUETANG.PCX" 8 Escape
show_matches "$assets/BLUETANG.PCX" 16 q

# A picture larger than the 800x600 desktop: the window fits inside it.
convert -size 1000x700 gradient:white-black "$work/big.ppm" && cjpeg "$work/big.ppm" >"$work/big.jpg"
"$rx" show "$work/big.jpg" >"$work/big.log" 2>&1 &
pid=$!
if window_of $pid >/dev/null; then
  sleep 0.5
  size=$(xdotool getwindowgeometry "$(window_of $pid)" | sed -n 's/.*Geometry: //p')
  w=${size%x*} h=${size#*x}
  [ "$w" -le 800 ] && [ "$h" -le 600 ] && [ "$w" -ge 700 ] && pass ||
    fail "a 1000x700 picture on an 800x600 desktop got a ${size} window"
  keys $pid Escape
else
  fail "show big.jpg: no window"
fi
ends_within $pid || fail "show big.jpg did not end"

# --- play at the flic's speed ------------------------------------------
# Six 64x48 frames of one colour each, 1100 ms (20 ticks of 55 ms) apart:
# long against the time a screenshot takes.
delay=1100
colours=("255 0 0" "0 255 0" "0 0 255" "255 255 255" "255 255 0" "0 255 255")
count=${#colours[@]}
/usr/bin/python3 - "$work/colours.flc" $delay "${colours[@]}" <<'PY'
import struct, sys
path, speed, colours = sys.argv[1], int(sys.argv[2]), [list(map(int, c.split())) for c in sys.argv[3:]]
w, h = 64, 48
def sub(kind, body):
    return struct.pack("<IH", 6 + len(body), kind) + body
def frame(subs):
    body = b"".join(subs)
    return struct.pack("<IHH", 16 + len(body), 0xF1FA, len(subs)) + bytes(8) + body
rgb = bytes(c for colour in colours for c in colour)
palette = struct.pack("<HBB", 1, 0, 0) + bytes(3) + rgb + bytes(3 * (255 - len(colours)))
def solid(index):  # byte run: one packet of w repeats per row
    return sub(15, bytes([1, w, index]) * h)
frames = [frame([sub(4, palette), solid(1)])] + [frame([solid(i)]) for i in range(2, len(colours) + 1)]
body = b"".join(frames)
head = struct.pack("<IHHHHHHI", 128 + len(body), 0xAF12, len(frames), w, h, 8, 0, speed)
open(path, "wb").write(head + bytes(128 - len(head)) + body)
PY
# The frame (0..count-1) a screenshot shows (-1 for anything else) and the
# times just before and after it was taken.
frame_shown() {  # pid
  local before after rgb i
  before=$(now_ms)
  shoot "$1" "$work/play.png" || { echo -1 0 0; return; }
  after=$(now_ms)
  rgb=$(pixel "$work/play.png" 20 20)
  for i in "${!colours[@]}"; do
    [ "$rgb" = "${colours[$i]}" ] && { echo "$i $before $after"; return; }
  done
  echo "-1 $before $after"
}
# Whether frame got may show at any time of before..after: frame
# floor(t / delay) of the loop, or its neighbour.
on_time() {  # got before after
  local n
  for ((n = $2 / delay - 1; n <= $3 / delay + 1; ++n)); do
    [ "$1" = $(((n + count) % count)) ] && return 0
  done
  return 1
}
"$rx" play "$work/colours.flc" --depth 16 >"$work/play.log" 2>&1 &
pid=$!
if window_of $pid >/dev/null; then
  # The first frame's arrival starts the clock.
  start=
  for _ in $(seq 50); do
    read -r got before after < <(frame_shown $pid)
    [ "$got" = 0 ] && { start=$before; break; }
  done
  [ -n "$start" ] && pass || fail "play: the first frame never showed"
  for k in 1 3 5 7; do  # past the sixth frame it starts again
    while [ "$(now_ms)" -lt $((start + k * delay + delay / 2)) ]; do sleep 0.02; done
    read -r got before after < <(frame_shown $pid)
    on_time "$got" $((before - start)) $((after - start)) && pass ||
      fail "play: frame $got between $((before - start)) and $((after - start)) ms"
  done
  keys $pid space
  sleep 0.3
  read -r held _ < <(frame_shown $pid)
  sleep $((2 * delay / 1000 + 1))
  read -r got _ < <(frame_shown $pid)
  [ "$held" != -1 ] && [ "$got" = "$held" ] && pass || fail "play: Space did not pause"
  keys $pid space
  sleep $((2 * delay / 1000 + 1))
  read -r got _ < <(frame_shown $pid)
  [ "$got" != -1 ] && [ "$got" != "$held" ] && pass || fail "play: a second Space did not go on"
  keys $pid Escape
  ends_within $pid && pass || fail "play did not end with exit 0 on Escape"
else
  fail "play: no window"; cat "$work/play.log"; kill $pid
fi

echo "rxtool show and play: $checks checks passed, $failures failed"
[ $failures -eq 0 ]
