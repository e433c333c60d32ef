#!/usr/bin/env bash
# The calm tank: a window shows at most --fps steps a second (20 steps at
# 10 a second last at least 1.9 s under Xvfb, whatever the machine), and
# --record refuses a file it cannot write before the first step.
# Usage: demo_pacing.sh BUILD_DIR SHARED_DIR
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../demo/assets"
tank="$build/fishtank"
fail=0
[ -x "$tank" ] || { echo "FAIL: $tank not built"; exit 1; }
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

echo "--record /nonexistent/x.gif, a run of a million steps"
out=$(timeout 20 "$tank" --headless --frames 1000000 --assets "$assets" \
      --record /nonexistent/x.gif 2>&1); status=$?
echo "  exit status $status: $out"
if [ "$status" -ne 1 ] || ! grep -q "cannot write /nonexistent/x.gif" <<< "$out" ||
   grep -q "frames shown" <<< "$out"; then
  echo "FAIL: the unwritable recording was not refused before the first step"; fail=1
fi

if command -v xvfb-run > /dev/null && grep -qa libSDL2 "$tank"; then
  echo "20 steps at --fps 10 in a window under Xvfb"
  start=$(date +%s%N)
  timeout 60 xvfb-run -a -n $((600 + $$ % 3000)) -s "-screen 0 640x480x24 -noreset" \
    "$tank" --windowed --seed 1 --frames 20 --fps 10 --assets "$assets" > /dev/null 2>&1
  status=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "  exit status $status after $ms ms"
  [ "$status" -eq 0 ] && [ "$ms" -ge 1900 ] || { echo "FAIL: not paced"; fail=1; }
else
  echo "FAIL: xvfb-run or the SDL2 window backend is missing"; fail=1
fi
exit $fail
