#!/usr/bin/env bash
# A headless --record shows its progress on standard error when that is a
# terminal (run under script(1), which gives it one) and nothing when not.
# Usage: demo_progress.sh BUILD_DIR SHARED_DIR
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../demo/assets"
tank="$build/fishtank"
fail=0
command -v script > /dev/null || { echo "FAIL: script (bsdutils) is missing"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run=("$tank" --headless --seed 1 --frames 60 --assets "$assets" --record "$work/x.gif")

"${run[@]}" > "$work/out.txt" 2> "$work/err.txt" || { echo "FAIL: the run"; fail=1; }
if [ -s "$work/err.txt" ]; then
  echo "FAIL: standard error not a terminal, yet written:"; cat "$work/err.txt"; fail=1
else
  echo "not a terminal: standard error stays empty"
fi

script -qec "${run[*]} > $work/out2.txt" "$work/typescript" > /dev/null 2>&1 ||
  { echo "FAIL: the run under script"; fail=1; }
if grep -q "recording step 60 of 60" "$work/typescript"; then
  echo "a terminal: $(tr '\r' '\n' < "$work/typescript" | grep -c 'recording step') progress lines"
else
  echo "FAIL: no progress on the terminal:"; cat -v "$work/typescript"; fail=1
fi
exit $fail
