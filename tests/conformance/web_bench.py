"""The benchmark page in headless Chromium, in its quick mode: it finishes
and reports a time for every workload the native program reports (the
figures themselves are for bench/web_report, not for a test).
usage: web_bench.py URL_OF_BENCH_HTML NATIVE_PAGE_BENCH ASSETS_DIR"""
import subprocess
import sys

from web_browser import open_browser, wait_for


def main():
    url, native, assets = sys.argv[1], sys.argv[2], sys.argv[3]
    lines = subprocess.run([native, "--quick", assets], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    names = [line.split(" ")[0] for line in lines if not line.startswith("level ")]
    browser = open_browser()
    try:
        browser.get(url + "?quick")
        wait_for(browser, "return Module.done", "the benchmark page")
        results = browser.execute_script("return Module.results")
    finally:
        browser.quit()
    for name in names:
        try:
            if float(results.get(name, "")) <= 0:
                raise ValueError
        except ValueError:
            sys.exit(f"FAIL: the benchmark page gave no time for {name}: {results}")
    if results.get("level") != "portable":
        sys.exit(f"FAIL: the page ran at level {results.get('level')}, not portable")
    print(f"PASS: the benchmark page timed {', '.join(names)}")


main()
