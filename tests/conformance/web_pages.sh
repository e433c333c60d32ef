#!/usr/bin/env bash
# The web pages in a real browser: builds the WebAssembly tree (build-web/
# at the top of the source tree, shared by every native tree's run) when
# emcc is present, serves it on the loopback and
# drives headless Chromium through chromedriver. Skipped (77) without
# emcc, chromium, chromedriver or python3-selenium.
# usage: web_pages.sh BUILD_DIR SHARED_DIR
set -u
build=$(cd "$1" && pwd)
shared=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
python=/usr/bin/python3
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

command -v emcmake >/dev/null || skip "emcc (emscripten) is not installed"
command -v chromium >/dev/null || skip "chromium is not installed"
command -v chromedriver >/dev/null || skip "chromedriver is not installed"
"$python" -c "import selenium" 2>/dev/null || skip "python3-selenium is not installed"
for program in fishtank rxtool; do
  [ -x "$build/$program" ] || fail "$build/$program is missing"
done

web=$source_dir/build-web
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
if [ ! -e "$web/CMakeCache.txt" ]; then
  emcmake cmake -S "$source_dir" -B "$web" -DCMAKE_BUILD_TYPE=Release \
    $(command -v ninja >/dev/null && echo -G Ninja) > "$work/configure.log" 2>&1 \
    || { cat "$work/configure.log"; fail "emcmake cmake"; }
fi
cmake --build "$web" -j2 > "$work/build.log" 2>&1 \
  || { tail -40 "$work/build.log"; fail "building the pages"; }

port=$("$python" -c "import socket; s = socket.socket(); s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])")
(cd "$web" && exec "$python" -m http.server "$port" --bind 127.0.0.1) > "$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  "$python" -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" \
    2>/dev/null && break
  sleep 0.1
done

# The native frame of the same seed and steps, at the page's 32 bits.
"$build/fishtank" --headless --frames 40 --seed 1 --assets "$source_dir/demo/assets" \
  --record "$work/native.png" > "$work/native.log" 2>&1 || { cat "$work/native.log"; fail "native tank"; }
convert "$work/native.png" "$work/native.ppm" || fail "convert cannot read the native frame"
PYTHONPATH=$here "$python" "$here/web_tank.py" "http://127.0.0.1:$port/tank.html" \
  "$work/native.ppm" "$web/tank-screenshot.png" || exit 1
PYTHONPATH=$here "$python" "$here/web_view.py" "http://127.0.0.1:$port/view.html" "$build/rxtool" \
  "$shared/corpus/peers" "$source_dir/demo/assets" -- "$web/view-screenshot.png" || exit 1
# The benchmark page's workloads are named by the native program of the
# same source, which trees without the benchmarks do not build.
if [ -x "$build/rastrix_page_bench" ]; then
  PYTHONPATH=$here "$python" "$here/web_bench.py" "http://127.0.0.1:$port/bench.html" \
    "$build/rastrix_page_bench" "$source_dir/demo/assets" || exit 1
else
  echo "the benchmark page is not checked: $build/rastrix_page_bench is not built"
fi
echo "PASS: web pages"
