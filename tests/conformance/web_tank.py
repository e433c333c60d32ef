"""The fish tank page in headless Chromium: after N steps with a fixed seed
the canvas (read back with getImageData) equals the native headless frame
pixel for pixel; Escape pauses the tank and a click resumes it. Leaves a
screenshot of the page for the README.
usage: web_tank.py URL_OF_TANK_HTML NATIVE_FRAME.ppm SCREENSHOT.png"""
import sys
import time

from web_browser import canvas_rgb, open_browser, read_ppm, wait_for

STEPS = 40


def main():
    url, native, shot = sys.argv[1], sys.argv[2], sys.argv[3]
    width, height, expected = read_ppm(native)
    browser = open_browser()
    try:
        browser.get(f"{url}?seed=1&frames={STEPS}")
        wait_for(browser, f"return Module.presentedSteps === {STEPS}", "the tank's steps")
        got = canvas_rgb(browser)
        if got != (width, height, expected):
            sys.exit(f"FAIL: the page after {STEPS} steps differs from the native frame")
        browser.save_screenshot(shot)

        browser.get(url + "?seed=2")
        wait_for(browser, "return Module.tankSteps > 5", "the tank to run")
        browser.find_element("tag name", "body").send_keys("\ue00c")  # Escape
        time.sleep(0.3)
        held = browser.execute_script("return Module.tankSteps")
        time.sleep(0.5)
        if browser.execute_script("return Module.tankSteps") != held:
            sys.exit("FAIL: Escape did not pause the tank")
        browser.find_element("id", "screen").click()
        wait_for(browser, f"return Module.tankSteps > {held}", "a click to resume the tank")
    finally:
        browser.quit()
    print(f"PASS: tank page equals the native frame after {STEPS} steps; pause and resume work")


main()
