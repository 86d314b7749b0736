#!/usr/bin/python3
"""The web app's numbers in headless Chromium: what it sends over the wire
(gzipped), how soon it takes input after a reload (served by its service
worker), and what each call from the page costs, beside the same calls
native (proxcred_bench's web benchmarks), as a table for docs/performance.md.

Usage: web_bench.py SITE_DIR NATIVE_BENCH   (scripts/bench-web.sh runs it)
"""
import functools
import gzip
import http.server
import json
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

APP_FILES = ["index.html", "style.css", "core.js", "app.js", "proxcred.js", "proxcred.wasm",
             "icon.svg", "copy.svg", "manifest.webmanifest", "sw.js"]
INSTALL_ICONS = ["icon-180.png", "icon-192.png", "icon-512.png", "icon-maskable-512.png"]
RELOADS = 15
# The page's calls, as (benchmark name, JavaScript taking core, form, tools and i).
CALLS = [
    ("webFormEdit", "form.edit('txtBoxSerialNo', String(i % 60000))"),
    ("webSplit", "tools.split('0000000600400002', true)"),
    ("webWiegandDecode", "tools.wiegandDecode('2006EC0C86', 'hex', {json: true})"),
    ("webWiegandEncode", "tools.wiegandEncode('H10301', {facility: '12', card: '345'}, 'hex', true)"),
    ("webEm", "tools.em('0F0368568B', 'id', '', true)"),
]


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


def gzipped(path):
    return len(gzip.compress(path.read_bytes(), 9))


def native_times(bench):
    run = subprocess.run([bench, "--benchmark_filter=^web", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True)
    return {b["name"]: b["real_time"] / 1000 for b in json.loads(run.stdout)["benchmarks"]}


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage"]:
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def ready_ms(driver):
    deadline = time.time() + 10
    while time.time() < deadline:
        ready = driver.execute_script("return document.body.dataset.readyMs")
        if ready:
            return int(ready)
        time.sleep(0.02)
    raise RuntimeError("the page did not start")


def call_times(driver):
    script = "const done = arguments[0]; loadProxcred(ProxcredCore).then(core => {" \
             "const form = core.formSession('FC=12;CF=26;ZELF=F'); form.start();" \
             "const tools = core.cardTools(); const times = {};" + "".join(
                 f"for (let i = 0; i < 200; i++) {{ {code}; }}"
                 f"{{ const start = performance.now();"
                 f"for (let i = 0; i < 2000; i++) {{ {code}; }}"
                 f"times['{name}'] = (performance.now() - start) / 2000 * 1000; }}"
                 for name, code in CALLS) + "done(times); });"
    driver.set_script_timeout(60)
    return driver.execute_async_script(script)


def main(site, bench):
    app = sum(gzipped(site / name) for name in APP_FILES)
    icons = sum((site / name).stat().st_size for name in INSTALL_ICONS)
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Quiet, directory=str(site)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    driver = browser()
    try:
        driver.get(url)
        first = ready_ms(driver)
        for _ in range(3):  # the service worker takes over
            driver.refresh()
            ready_ms(driver)
        reloads = []
        for _ in range(RELOADS):
            driver.refresh()
            reloads.append(ready_ms(driver))
        wasm = call_times(driver)
    finally:
        driver.quit()
        server.shutdown()
    native = native_times(bench)
    print(f"app over the wire, gzipped: {app / 1024:.1f} KiB "
          f"(install icons, PNG, fetched by the browser and kept offline: {icons / 1024:.1f} KiB)")
    print(f"ready for input: first load {first} ms; after a reload, median of {RELOADS}: "
          f"{statistics.median(reloads):.0f} ms (fastest {min(reloads)}, slowest {max(reloads)})")
    print("| call from the page | Chromium (wasm) | native | wasm / native |")
    print("|---|---:|---:|---:|")
    for name, _ in CALLS:
        print(f"| {name} | {wasm[name]:.1f} µs | {native[name]:.2f} µs | {wasm[name] / native[name]:.1f} |")
    for name in ("webStart", "webCardTools"):
        print(f"| {name} (native) | | {native[name]:.1f} µs | |")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(Path(sys.argv[1]), sys.argv[2]))
