#!/usr/bin/env bash
# fishtank finds its pictures from wherever it is started: installed into a
# temporary prefix, and built in a folder outside the source tree, each run
# from an unrelated folder without --assets, records a GIF and exits 0.
# Usage: fishtank_anywhere.sh BUILD_DIR SHARED_DIR
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "fishtank_anywhere: FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/elsewhere"

record_from_elsewhere() {  # what program
  echo "$1: fishtank --headless --frames 30 --record x.gif, from another folder"
  rm -f "$work/elsewhere/x.gif"
  (cd "$work/elsewhere" && "$2" --headless --frames 30 --seed 1 --record x.gif) \
    >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "$1: fishtank failed"; }
  [ "$(head -c 6 "$work/elsewhere/x.gif")" = GIF89a ] || fail "$1: no GIF was recorded"
}

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" \
  || { cat "$work/install.log"; fail "cmake --install"; }
record_from_elsewhere "installed prefix" "$work/prefix/bin/fishtank"

# Building again costs time and proves nothing more about memory, so the
# sanitizer tree leaves this half to the plain one.
if grep -q '^RASTRIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "fishtank_anywhere: OK (out-of-tree build left to the plain tree)"
  exit 0
fi
options=(-DCMAKE_BUILD_TYPE=Release -DRASTRIX_TESTS=OFF -DRASTRIX_BENCH=OFF)
command -v ninja >/dev/null && options+=(-G Ninja)
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
echo "building fishtank in a folder outside the source tree"
cmake -S "$source" -B "$work/build" "${options[@]}" >"$work/configure.log" 2>&1 \
  || { cat "$work/configure.log"; fail "configuring outside the source tree"; }
cmake --build "$work/build" -j2 --target fishtank >"$work/build.log" 2>&1 \
  || { tail -n 40 "$work/build.log"; fail "building outside the source tree"; }
record_from_elsewhere "out-of-tree build" "$work/build/fishtank"
echo "fishtank_anywhere: OK"
