#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, then builds and runs a
# small C-only consumer through find_package(Rastrix) and through
# pkg-config, each against the shared and the static library; and a C
# program on the installed window library that shows a JPEG under Xvfb,
# whose window must equal the installed rxtool's decode pixel for pixel.
# Exits 77 (skipped) after the first part when xvfb-run is missing.
# Usage: install_consumer.sh BUILD_DIR SHARED_DIR
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "install_consumer: FAIL: $*" >&2; exit 1; }
for tool in cmake pkg-config cc readelf; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

echo "installing $build into a temporary prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
for f in include/rastrix.h bin/rxtool; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
libdir=$(dirname "$(find "$prefix" -name librastrix.a | head -n1)")
[ -n "$libdir" ] && [ -e "$libdir/librastrix.a" ] || fail "librastrix.a was not installed"
[ -e "$libdir/librastrix.so" ] || fail "librastrix.so was not installed"
[ -e "$libdir/cmake/Rastrix/RastrixConfig.cmake" ] || fail "the CMake package was not installed"
[ -e "$libdir/pkgconfig/rastrix.pc" ] || fail "rastrix.pc was not installed"
if [ -d "$here/../../demo/assets" ] && [ -n "$(ls -A "$here/../../demo/assets")" ]; then
  [ -n "$(ls -A "$prefix/share/rastrix" 2>/dev/null)" ] || fail "the demo's pictures were not installed"
fi

# A sanitized library needs sanitized consumers.
flags=
if grep -q '^RASTRIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  flags="-fsanitize=address,undefined"
fi

# Linked statically, the program must not need the shared library.
check_linkage() {  # program shared|static
  if readelf -d "$1" | grep -q 'NEEDED.*librastrix'; then
    [ "$2" = shared ] || fail "$(basename "$1") needs librastrix.so though linked statically"
  else
    [ "$2" = static ] || fail "$(basename "$1") does not use librastrix.so"
  fi
}

echo "building the C consumer with find_package(Rastrix)"
cmake -S "$here/../consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
      >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configuring the consumer"; }
cmake --build "$work/consumer" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the consumer"; }
for variant in shared static; do
  echo "running consumer_$variant"
  check_linkage "$work/consumer/consumer_$variant" "$variant"
  "$work/consumer/consumer_$variant" || fail "consumer_$variant read back the wrong colours"
done

echo "building the C consumer with pkg-config"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
pkg-config --exists rastrix || fail "pkg-config does not know rastrix"
# shellcheck disable=SC2046
cc $flags -o "$work/consumer_pc_shared" "$here/../consumer/consumer.c" \
   $(pkg-config --cflags --libs rastrix) || fail "compiling with pkg-config flags"
# --static adds the private libraries; -Bstatic makes the linker take the
# archives of those libraries, the C library stays shared.
# shellcheck disable=SC2046
cc $flags -o "$work/consumer_pc_static" "$here/../consumer/consumer.c" \
   $(pkg-config --cflags rastrix) -Wl,-Bstatic $(pkg-config --static --libs rastrix) -Wl,-Bdynamic \
   || fail "compiling with pkg-config --static flags"
for variant in shared static; do
  echo "running consumer_pc_$variant"
  check_linkage "$work/consumer_pc_$variant" "$variant"
  LD_LIBRARY_PATH="$libdir" "$work/consumer_pc_$variant" || fail "consumer_pc_$variant read back the wrong colours"
done
echo "building the window consumer with pkg-config"
pkg-config --exists rastrix_window || fail "pkg-config does not know rastrix_window"
# shellcheck disable=SC2046
cc $flags -o "$work/window_consumer_pc" "$here/../consumer/window_consumer.c" \
   $(pkg-config --cflags --libs rastrix_window) || fail "compiling with rastrix_window's flags"
for variant in shared static; do
  check_linkage "$work/consumer/window_consumer_$variant" "$variant"
done

if ! command -v xvfb-run >/dev/null; then
  echo "install_consumer: SKIP: the window part needs xvfb-run"
  exit 77
fi
for tool in xdotool xwininfo import compare convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps test)"
done
picture=$work/picture.jpg
if command -v cjpeg >/dev/null; then  # an odd size, 4:2:0, written now
  convert -size 201x149 gradient:gold-teal -swirl 120 "$work/picture.ppm" &&
    cjpeg -quality 85 -sample 2x2 "$work/picture.ppm" >"$picture" || fail "cjpeg"
else
  cp "$here/../../demo/assets/AQUARIUM.JPG" "$picture"
fi
cat >"$work/inside.sh" <<'INSIDE'
set -u
work=$1 program=$2 depth=$3 picture=$work/picture.jpg
"$program" "$picture" "$depth" >"$work/window.log" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q shown "$work/window.log" && break; sleep 0.1; done
diff=unknown
for _ in $(seq 25); do
  sleep 0.2
  # By the process: the renderer may make the window anew while it starts.
  id=$(xdotool search --all --pid $pid --name "rastrix consumer" 2>/dev/null | head -1)
  [ -n "$id" ] || continue
  geometry=$(xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ {x = $NF}
    /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF}
    END {if (w) printf "%dx%d+%d+%d", w, h, x, y}')
  [ -n "$geometry" ] || continue
  # The desktop whole, then cut: import -window can hang on a new window.
  timeout 10 import -window root "$work/root.png" 2>/dev/null || continue
  convert "$work/root.png" -crop "$geometry" +repage "$work/shot.png" || continue
  diff=$(compare -metric AE "$work/shot.png" "$work/expected.ppm" null: 2>&1 | cut -d' ' -f1)
  [ "$diff" = 0 ] && break
done
[ -n "${id:-}" ] && xdotool key --window "$id" Escape 2>/dev/null
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
kill -0 $pid 2>/dev/null && { echo "  still running after Escape"; kill $pid; exit 1; }
wait $pid; status=$?
echo "  pixels differing from rxtool decode: $diff; exit status $status"
[ "$diff" = 0 ] && [ $status = 0 ] || { cat "$work/window.log"; exit 1; }
INSIDE
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
for run in consumer/window_consumer_shared:16 consumer/window_consumer_shared:24 \
           consumer/window_consumer_static:32 window_consumer_pc:16; do
  program=$work/${run%:*} depth=${run#*:}
  echo "running $(basename "$program") at depth $depth under Xvfb"
  LD_LIBRARY_PATH="$libdir" "$prefix/bin/rxtool" decode "$picture" -o "$work/expected.ppm" --depth "$depth" ||
    fail "the installed rxtool cannot decode the picture"
  LD_LIBRARY_PATH="$libdir" timeout 60 xvfb-run -a -n $((300 + $$ % 3000)) -s "-screen 0 800x600x24 -noreset" \
    bash "$work/inside.sh" "$work" "$program" "$depth" || fail "$(basename "$program") at depth $depth"
done
echo "install_consumer: OK"
