#!/usr/bin/env bash
# Plays every corpus flic (not hostile/) with rxtool at 24 bits from file and
# from memory, and at 16 and 32 bits, and compares the frames with FFmpeg's
# decode of the same file (see flic_compare.py for the rules).
#
#   bash flic_conformance.sh BUILD_DIR SHARED_DIR
set -u
BUILD=$1
SHARED=$2
RXTOOL="$BUILD/rxtool"
PY=/usr/bin/python3
HERE=$(cd "$(dirname "$0")" && pwd)
CORPUS="$SHARED/corpus/peers/flic"

command -v ffmpeg >/dev/null || { echo "ffmpeg is missing (install ffmpeg)" >&2; exit 1; }
[ -x "$RXTOOL" ] || { echo "no rxtool in $BUILD" >&2; exit 1; }
"$PY" -c 'import PIL' || { echo "Pillow is missing for $PY" >&2; exit 1; }
[ -d "$CORPUS" ] || { echo "no corpus at $CORPUS" >&2; exit 1; }

# one picture per frame chunk: -fps_mode from FFmpeg 5.1 on, -vsync before
if ffmpeg -nostdin -hide_banner -loglevel quiet -f lavfi -i nullsrc=d=0.1 \
        -fps_mode passthrough -f null - 2>/dev/null; then
    FPS=(-fps_mode passthrough)
else
    FPS=(-vsync passthrough)
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failed=0
count=0
echo "flic conformance: rxtool frames vs FFmpeg, files in $CORPUS"
for f in "$CORPUS"/*; do
    [ -f "$f" ] || continue
    count=$((count + 1))
    d="$WORK/$(basename "$f")"
    mkdir -p "$d/ffmpeg" "$d/24" "$d/24m" "$d/16" "$d/32"
    ffmpeg -nostdin -loglevel error -f flic -i "$f" "${FPS[@]}" -pix_fmt rgb24 \
        -start_number 1 "$d/ffmpeg/%04d.png" 2>/dev/null
    ok=1
    for run in "24:" "24m:--from-memory" "16:" "32:"; do
        dir=${run%%:*}
        extra=${run#*:}
        if ! "$RXTOOL" frames "$f" -o "$d/$dir" --depth "${dir%m}" $extra >/dev/null; then
            echo "$(basename "$f"): FAIL: rxtool frames --depth ${dir%m} $extra exited non-zero"
            ok=0
        fi
    done
    if [ $ok -eq 1 ]; then
        "$PY" "$HERE/flic_compare.py" "$f" "$d/ffmpeg" "$d/24" "$d/24m" "$d/16" "$d/32" || ok=0
    fi
    [ $ok -eq 1 ] || failed=$((failed + 1))
done
if [ $count -eq 0 ]; then
    echo "no flics found" >&2
    exit 1
fi
echo "$count flic(s), $failed failed"
[ $failed -eq 0 ]
