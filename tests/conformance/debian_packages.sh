#!/usr/bin/env bash
# `cpack -G DEB` makes the library, -dev and demo packages; unpacked into a
# temporary root, the demo records a GIF and rxtool reads a picture, both
# started from another folder, and a C program builds against the -dev
# package through pkg-config. Usage: debian_packages.sh BUILD_DIR SHARED_DIR
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "debian_packages: FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb pkg-config cc; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work/packages") >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
root=$work/root
for package in librastrix1 librastrix-dev rastrix-demo; do
  deb=$(find "$work/packages" -maxdepth 1 -name "${package}_*.deb" | head -n1)
  [ -n "$deb" ] || fail "no $package package was made"
  dpkg-deb -x "$deb" "$root"
  [ -s "$root/usr/share/doc/$package/copyright" ] || fail "$package carries no licence"
done
for f in lib/librastrix.so.1 include/rastrix.h lib/librastrix.a lib/cmake/Rastrix/RastrixConfig.cmake \
         lib/pkgconfig/rastrix.pc bin/fishtank bin/rxtool share/rastrix/AQUARIUM.JPG; do
  [ -e "$root/usr/$f" ] || fail "usr/$f is in no package"
done

mkdir "$work/elsewhere"
cd "$work/elsewhere"
echo "fishtank --headless --frames 30 --record x.gif"
"$root/usr/bin/fishtank" --headless --frames 30 --seed 1 --record x.gif >"$work/run.log" 2>&1 \
  || { cat "$work/run.log"; fail "the packaged fishtank failed"; }
[ "$(head -c 6 x.gif)" = GIF89a ] || fail "the packaged fishtank recorded no GIF"
echo "rxtool info"
"$root/usr/bin/rxtool" info "$root/usr/share/rastrix/AQUARIUM.JPG" || fail "the packaged rxtool failed"

# A sanitized library needs sanitized consumers.
flags=
if grep -q '^RASTRIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  flags="-fsanitize=address,undefined"
fi
echo "a C program built against the -dev package"
export PKG_CONFIG_PATH=$root/usr/lib/pkgconfig
# shellcheck disable=SC2046
cc $flags -o consumer "$here/../consumer/consumer.c" $(pkg-config --cflags --libs rastrix) \
  || fail "building against the -dev package"
LD_LIBRARY_PATH=$root/usr/lib ./consumer || fail "the program built against the packages read wrong colours"
echo "debian_packages: OK"
