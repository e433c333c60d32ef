#!/usr/bin/env bash
# The fish tank without --seed takes its school from the clock: two headless
# runs started a moment apart swim different schools, so their last frames
# differ.
# Usage: demo_seed.sh BUILD_DIR SHARED_DIR
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
assets="$here/../../demo/assets"
tank="$build/fishtank"
# Fish start beyond the edges; after this many steps some are in view.
frames=300

[ -x "$tank" ] || { echo "FAIL: $tank not built"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for run in first second; do
  if ! "$tank" --headless --frames $frames --assets "$assets" --record "$work/$run.png" \
       > "$work/$run.log" 2>&1; then
    cat "$work/$run.log"; echo "FAIL: $run run"; exit 1
  fi
  sleep 0.2  # more than one 55 ms clock tick
done
if cmp -s "$work/first.png" "$work/second.png"; then
  echo "FAIL: two runs started at different times showed the same school"
  exit 1
fi
echo "PASS: two runs, two schools"
