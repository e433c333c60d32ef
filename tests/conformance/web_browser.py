"""Headless Chromium through chromedriver for the web page tests."""
import base64
import time

from pcx_compare import read_ppm  # noqa: F401 (offered to the page tests)
from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service

TIMEOUT_S = 60

# The canvas as RGB bytes, base64: alpha is always opaque.
CANVAS_RGB = """
const c = document.getElementById(arguments[0]);
const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
const rgb = new Uint8Array(c.width * c.height * 3);
for (let i = 0, j = 0; i < d.length; i += 4, j += 3) {
  rgb[j] = d[i]; rgb[j + 1] = d[i + 1]; rgb[j + 2] = d[i + 2];
}
let text = '';
for (let i = 0; i < rgb.length; i += 0x8000)
  text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
return [c.width, c.height, btoa(text)];
"""


def open_browser():
    o = Options()
    for a in ["--headless", "--no-sandbox", "--disable-gpu", "--window-size=1000,700"]:
        o.add_argument(a)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=o)


def wait_for(browser, script, what):
    end = time.monotonic() + TIMEOUT_S
    while time.monotonic() < end:
        if browser.execute_script(script):
            return
        time.sleep(0.05)
    raise SystemExit(f"FAIL: timed out waiting for {what}")


def canvas_rgb(browser, canvas="screen"):
    w, h, data = browser.execute_script(CANVAS_RGB, canvas)
    return w, h, base64.b64decode(data)
