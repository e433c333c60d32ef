#!/usr/bin/env bash
# The fish tank in a real window under Xvfb: full screen and --windowed each
# show the same picture as a headless run of the same seed and step count,
# and Escape ends the program with status 0 within a second.
# Usage: demo_window.sh BUILD_DIR SHARED_DIR
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../demo/assets"
tank="$build/fishtank"
frames=30
fail=0

for tool in xvfb-run xdotool xwininfo import compare; do
  command -v "$tool" > /dev/null || { echo "FAIL: $tool is missing (scripts/install-deps test)"; exit 1; }
done
[ -x "$tank" ] || { echo "FAIL: $tank not built"; exit 1; }
[ -f "$assets/AQUARIUM.JPG" ] || { echo "FAIL: no pictures in $assets"; exit 1; }
ldd "$tank" 2>/dev/null | grep -q "libSDL2" ||
  { echo "FAIL: $tank was built without the SDL2 window backend (libsdl2-dev)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The GL driver SDL loads and unloads leaves allocations that the leak
# checker of a sanitizer build cannot attribute; the headless tests check
# the program's own memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

echo "reference: headless, 24-bit desktop, seed 1, $frames steps"
if ! "$tank" --headless --desktop-depth 24 --seed 1 --frames $frames --assets "$assets" \
     --record "$work/reference.png" > "$work/headless.log" 2>&1; then
  cat "$work/headless.log"; echo "FAIL: headless run"; exit 1
fi

# Runs inside Xvfb: starts the tank, waits for its picture, sends Escape.
cat > "$work/inside.sh" <<'INSIDE'
set -u
tank=$1 assets=$2 work=$3 frames=$4 mode=$5
args=(--seed 1 --frames "$frames" --hold --assets "$assets")
[ "$mode" = windowed ] && args+=(--windowed)
"$tank" "${args[@]}" > "$work/$mode.log" 2>&1 &
pid=$!
id=
for _ in $(seq 100); do
  id=$(xdotool search --name "Rastrix High Color Fish Tank" 2>/dev/null | head -1)
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "no window appeared"; kill $pid; exit 1; }
xwininfo -id "$id" | grep -E "Absolute|Width|Height" | tr -s ' ' | sed 's/^/  /'
target=root
[ "$mode" = windowed ] && target=$id
# The picture is still once the steps are done (--hold): wait for it.
diff=999999
for _ in $(seq 60); do
  sleep 0.25
  import -window "$target" "$work/$mode.png" 2> /dev/null || continue
  diff=$(compare -metric AE "$work/$mode.png" "$work/reference.png" null: 2>&1 | cut -d' ' -f1)
  [ "${diff%.*}" -eq 0 ] 2> /dev/null && break
done
echo "  pixels differing from the headless frame: $diff of 307200"
start=$(date +%s%N)
xdotool key --window "$id" Escape
for _ in $(seq 50); do kill -0 $pid 2> /dev/null || break; sleep 0.02; done
if kill -0 $pid 2> /dev/null; then
  echo "  still running 1 s after Escape"; kill $pid; exit 1
fi
wait $pid; status=$?
ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "  exit status $status, ${ms} ms after Escape"
cat "$work/$mode.log" | sed 's/^/  /'
[ "$status" -eq 0 ] || exit 1
# Allow a sliver of difference (a screenshot taken mid-present); none is expected.
[ "${diff%.*}" -le 3072 ] 2> /dev/null || exit 1
INSIDE

for mode in fullscreen windowed; do
  echo "$mode: fishtank --seed 1 $([ $mode = windowed ] && echo --windowed) under xvfb-run -s '-screen 0 640x480x24 -noreset'"
  if timeout 120 xvfb-run -a -s "-screen 0 640x480x24 -noreset" \
       bash "$work/inside.sh" "$tank" "$assets" "$work" "$frames" "$mode"; then
    echo "  ok"
  else
    echo "FAIL: $mode"; fail=1
  fi
done
exit $fail
