#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, then builds and runs a
# small C-only consumer through find_package(Rastrix) and through
# pkg-config, each against the shared and the static library. Usage: install_consumer.sh BUILD_DIR SHARED_DIR
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
echo "install_consumer: OK"
