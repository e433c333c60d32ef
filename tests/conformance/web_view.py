"""The viewer page in headless Chromium: every corpus picture (and the first
frame of every flic) shown at 8, 16, 24 and 32 bits equals what rxtool
decodes from memory at that depth, pixel for pixel, and a picture rxtool
refuses is refused by the page with a message. Hostile files show a
message or a picture and the page keeps working. Leaves a screenshot.
usage: web_view.py URL_OF_VIEW_HTML RXTOOL CORPUS_DIR... -- SCREENSHOT.png"""
import base64
import os
import subprocess
import sys
import tempfile

from web_browser import canvas_rgb, open_browser, read_ppm, wait_for

DEPTHS = (8, 16, 24, 32)
REFUSED = 2
FLIC_ENDINGS = (".fli", ".flc")

VIEW = """
Module.autoplay = false;
const bytes = Uint8Array.from(atob(arguments[1]), (c) => c.charCodeAt(0));
const status = view(arguments[0], bytes);
return [status, document.getElementById('message').textContent];
"""


def rxtool_picture(rxtool, path, depth, work):
    """(status, (w, h, rgb) or None) of rxtool's decode from memory."""
    if path.lower().endswith(FLIC_ENDINGS):
        out = os.path.join(work, f"frames{depth}")
        r = subprocess.run([rxtool, "frames", path, "-o", out, "--depth", str(depth),
                            "--from-memory"], capture_output=True)
        first = os.path.join(out, "frame_0001.ppm")
        picture = read_ppm(first) if r.returncode == 0 else None
        for name in os.listdir(out) if os.path.isdir(out) else []:
            os.remove(os.path.join(out, name))
        return r.returncode, picture
    out = os.path.join(work, "picture.ppm")
    r = subprocess.run([rxtool, "decode", path, "-o", out, "--depth", str(depth),
                        "--from-memory"], capture_output=True)
    return r.returncode, read_ppm(out) if r.returncode == 0 else None


def show(browser, path):
    with open(path, "rb") as f:
        data = base64.b64encode(f.read()).decode()
    return browser.execute_script(VIEW, os.path.basename(path), data)


def files_of(folder):
    for root, _, names in os.walk(folder):
        for name in sorted(names):
            if name.lower().endswith((".pcx", ".jpg", ".jpeg") + FLIC_ENDINGS):
                yield os.path.join(root, name)


def main():
    split = sys.argv.index("--")
    url, rxtool, folders = sys.argv[1], sys.argv[2], sys.argv[3:split]
    shot = sys.argv[split + 1]
    pictures = [p for d in folders for p in files_of(d) if "hostile" not in p.split(os.sep)]
    hostile = [p for d in folders for p in files_of(d) if "hostile" in p.split(os.sep)]
    failures, compared, refused = [], 0, 0
    browser = open_browser()
    try:
        browser.get(url)
        wait_for(browser, "return Module.ready === true", "the viewer to start")
        with tempfile.TemporaryDirectory() as work:
            for path in pictures:
                for depth in DEPTHS:
                    if path.lower().endswith(FLIC_ENDINGS):
                        # A flic whose data ends inside its first frame
                        # shows what an earlier view left in the library:
                        # each flic view starts in a fresh page, as rxtool
                        # starts in a fresh process.
                        browser.get(url)
                        wait_for(browser, "return Module.ready === true", "the viewer to start")
                    browser.execute_script(f"document.getElementById('depth').value = '{depth}'")
                    want_status, want = rxtool_picture(rxtool, path, depth, work)
                    status, message = show(browser, path)
                    what = f"{path} at {depth} bits"
                    if status != want_status:
                        failures.append(f"{what}: page status {status}, rxtool {want_status}")
                    elif want is not None:
                        compared += 1
                        if canvas_rgb(browser) != want:
                            failures.append(f"{what}: the canvas differs from rxtool's picture")
                    elif not message.strip():
                        failures.append(f"{what}: refused without a message")
                    else:
                        refused += 1
        for path in hostile:
            status, message = show(browser, path)
            if status != 0 and not message.strip():
                failures.append(f"{path}: refused without a message")
        browser.execute_script("document.getElementById('depth').value = '24'")
        status, _ = show(browser, pictures[0])
        if status != 0 and rxtool_picture(rxtool, pictures[0], 24, tempfile.gettempdir())[0] == 0:
            failures.append("the page stopped working after the hostile files")
        jpegs = [p for p in pictures if p.endswith("AQUARIUM.JPG")] or pictures
        show(browser, jpegs[0])
        browser.save_screenshot(shot)
    finally:
        browser.quit()
    for f in failures[:30]:
        print("FAIL:", f)
    if failures:
        sys.exit(f"FAIL: {len(failures)} of the viewer's checks")
    print(f"PASS: {compared} pictures equal rxtool's, {refused} refusals with a message, "
          f"{len(hostile)} hostile files")


main()
