#!/usr/bin/env bash
# The public window library under Xvfb: a C program opens a window, shows
# every 16-bit colour, and a screenshot equals the library's screen pixel
# for pixel (windowed, full screen, and full screen scaled 2x); the keys
# sent arrive with their codes and Escape ends the program.
# Usage: window_screenshot.sh BUILD_DIR SHARED_DIR
set -u
build=$(cd "$1" && pwd)
probe="$build/window_probe"
fail=0
for tool in xvfb-run xdotool import compare convert; do
  command -v "$tool" > /dev/null || { echo "FAIL: $tool is missing (scripts/install-deps test)"; exit 1; }
done
[ -x "$probe" ] || { echo "FAIL: $probe not built"; exit 1; }
# The window library opens SDL2 by name when built with it.
window_lib=$(ldd "$probe" | awk '/librastrix_window/ {print $3}')
grep -qa libSDL2 "$probe" ${window_lib:+"$window_lib"} ||
  { echo "FAIL: the window library was built without SDL2"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

cat > "$work/inside.sh" <<'INSIDE'
set -u
probe=$1 work=$2 name=$3 width=$4 height=$5 mode=$6 scale=$7
"$probe" "$work/$name.ppm" "$width" "$height" "$mode" > "$work/$name.log" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q shown "$work/$name.log" && break; sleep 0.1; done
id=$(xdotool search --name "rastrix window probe" 2>/dev/null | head -1)
[ -n "$id" ] || { echo "  no window"; cat "$work/$name.log"; kill $pid; exit 1; }
target=root
[ "$mode" = windowed ] && target=$id
convert "$work/$name.ppm" -scale "$scale" "$work/$name.expected.png"
diff=999999
for _ in $(seq 50); do  # a loaded machine may take seconds to draw
  sleep 0.2
  import -window "$target" "$work/$name.png" 2> /dev/null || continue
  diff=$(compare -metric AE "$work/$name.png" "$work/$name.expected.png" null: 2>&1 | cut -d' ' -f1)
  [ "${diff%.*}" -eq 0 ] 2> /dev/null && break
done
echo "  pixels differing from the library's screen: $diff"
xdotool key --window "$id" q F12 space Escape 2> /dev/null
for _ in $(seq 200); do kill -0 $pid 2> /dev/null || break; sleep 0.05; done
kill -0 $pid 2> /dev/null && { echo "  still running after Escape"; kill $pid; exit 1; }
wait $pid; status=$?
keys=$(grep '^key' "$work/$name.log" | tr '\n' ' ')
echo "  keys: $keys; exit status $status"
[ "$status" -eq 0 ] && [ "$keys" = "key 81 key 123 key 32 key 27 " ] && [ "$diff" = 0 ]
INSIDE

run() {  # name width height mode scale
  echo "$1: ${2}x$3 $4 on a 640x480x24 desktop"
  if timeout 60 xvfb-run -a -n $((400 + $$ % 3000)) -s "-screen 0 640x480x24 -noreset" \
       bash "$work/inside.sh" "$probe" "$work" "$@"; then
    echo "  ok"
  else
    echo "FAIL: $1"; fail=1
  fi
}
run windowed 300 260 windowed 100%
run full 640 480 full 100%
run scaled 320 240 full 200%
exit $fail
