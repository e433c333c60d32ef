#!/usr/bin/env bash
# JPEG conformance: rxtool against libjpeg-turbo, pixel for pixel.
# usage: jpeg_conformance.sh BUILD_DIR SHARED_DIR
set -eu
build=$1 shared=$2
for tool in "$build/rxtool" "$build/jpeg_reference"; do
  [ -x "$tool" ] || { echo "missing $tool" >&2; exit 1; }
done
command -v cjpeg >/dev/null || { echo "cjpeg missing (libjpeg-turbo-progs)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$(dirname "$0")/jpeg_conformance.py" "$build" "$shared" "$work"
