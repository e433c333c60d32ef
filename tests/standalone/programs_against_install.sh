#!/usr/bin/env bash
# Builds demo/ and tools/rxtool/ as a separate CMake project against an
# installed prefix through find_package(Rastrix), then runs both from it.
# Usage: programs_against_install.sh BUILD_DIR SHARED_DIR
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
fail() { echo "programs_against_install: FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" \
  || { cat "$work/install.log"; fail "cmake --install"; }
options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$work/prefix" -DRASTRIX_SOURCE_DIR="$source")
command -v ninja >/dev/null && options+=(-G Ninja)
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
echo "configuring demo/ and tools/rxtool/ against the installed package"
cmake -S "$here/programs" -B "$work/build" "${options[@]}" >"$work/configure.log" 2>&1 \
  || { tail -n 30 "$work/configure.log"; fail "demo/ or tools/rxtool/ needs more than the installed package"; }
echo "building them"
cmake --build "$work/build" -j2 >"$work/build.log" 2>&1 \
  || { grep -m 10 -E 'error|fatal' "$work/build.log"; fail "demo/ or tools/rxtool/ includes a header that is not installed"; }
mkdir "$work/elsewhere"
cd "$work/elsewhere"
fishtank=$(find "$work/build" -name fishtank -type f -perm -u+x | head -n1)
rxtool=$(find "$work/build" -name rxtool -type f -perm -u+x | head -n1)
"$fishtank" --headless --frames 30 --seed 1 --record x.gif >/dev/null || fail "fishtank failed"
"$rxtool" info "$source/demo/assets/AQUARIUM.JPG" >/dev/null || fail "rxtool failed"
echo "programs_against_install: OK"
