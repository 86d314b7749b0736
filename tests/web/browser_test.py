#!/usr/bin/python3
"""The web app in headless Chromium, driven from the keyboard where an
operator would be: the site from a local server (with the service worker
taking over, then serving a reload with the server gone), and the single-file
edition from file://. Run inside a network namespace with only loopback
(browser_test.sh): nothing can be fetched from elsewhere.

Usage: browser_test.py SITE_DIR SINGLE_HTML SCREENSHOT_DIR
Prints what fails and the measured numbers; exits 1 on a failure.
"""
import functools
import http.server
import json
import sys
import threading
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PRESET = "FC=12;CF=26;ZELF=F"
failures = []


def expect(holds, what):
    if not holds:
        failures.append(what)
        print(f"FAILED: {what}", flush=True)


def wait_for(condition, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    return None


class Site:
    """A static server for the site on loopback, which can be stopped."""

    def __init__(self, folder):
        handler = functools.partial(Quiet, directory=str(folder))
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json"}

    def log_message(self, *args):
        pass


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1280,900", "--no-first-run", "--disable-extensions"]:
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def viewport(driver, width, height=800):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1,
                            "mobile": width < 600})


def ready(driver):
    return wait_for(lambda: driver.execute_script("return document.body.dataset.ready === 'true'"))


def value(driver, element_id):
    return driver.find_element(By.ID, element_id).get_attribute("value")


def active_id(driver):
    return driver.execute_script("return document.activeElement && document.activeElement.id")


def keys(driver, *sequence):
    webdriver.ActionChains(driver).send_keys(*sequence).perform()


def check_translator(driver, where):
    """A hotstamp typed gives prox data; a refused one shows its message in
    the page, which Enter closes, giving the keyboard back to the box."""
    expect(wait_for(lambda: active_id(driver) == "txtBoxSerialNo"),
           f"{where}: the hotstamp box has the keyboard at start ({active_id(driver)})")
    keys(driver, "12345")
    expect(value(driver, "txtBoxProxData") == "0000000406060163",
           f"{where}: 12345 gives prox data {value(driver, 'txtBoxProxData')!r}")
    keys(driver, Keys.CONTROL, "a", Keys.CONTROL, "70000")
    dialog_open = wait_for(lambda: driver.execute_script("return document.getElementById('message').open"))
    expect(dialog_open, f"{where}: a refused hotstamp shows a message")
    if dialog_open:
        text = driver.find_element(By.ID, "message-text").text
        expect(text == "Hotstamp 70000 is too large. 65535 is max.", f"{where}: the message reads {text!r}")
        expect(active_id(driver) == "message-ok", f"{where}: the message's OK has the keyboard")
        keys(driver, Keys.ENTER)
        expect(wait_for(lambda: not driver.execute_script("return document.getElementById('message').open")),
               f"{where}: Enter closes the message")
        expect(active_id(driver) == "txtBoxSerialNo",
               f"{where}: the keyboard is back in the hotstamp box ({active_id(driver)})")


def split_from_keyboard(driver, where):
    """To Split Data by its tab and the arrow key, card data typed, the
    Split Data button reached with Tab and pressed with Space."""
    driver.find_element(By.ID, "tab-data").click()
    keys(driver, Keys.ARROW_RIGHT)
    expect(driver.find_element(By.ID, "tab-split").get_attribute("aria-selected") == "true",
           f"{where}: the arrow key turns to Split Data")
    driver.find_element(By.ID, "txtData").click()
    keys(driver, "0000000600400002", Keys.TAB, Keys.SPACE)
    expect(wait_for(lambda: value(driver, "txt26Num") == "1"),
           f"{where}: Split Data gives 26-bit hotstamp {value(driver, 'txt26Num')!r}")
    expect(value(driver, "txtCasiNum") == "100794370", f"{where}: Casi hotstamp {value(driver, 'txtCasiNum')!r}")
    label = driver.execute_script(
        "return document.getElementById('txt26Num').getAttribute('aria-labelledby').split(' ')"
        ".map(id => document.getElementById(id).textContent).join(', ')")
    expect(label == "26 Bit, Hotstamp No.", f"{where}: the 26-bit hotstamp box is named {label!r}")


def decode_wiegand(driver, where):
    driver.find_element(By.ID, "tab-wiegand").click()
    field = driver.find_element(By.ID, "decode-value")
    field.clear()
    field.click()
    keys(driver, "2006EC0C86")
    driver.find_element(By.CSS_SELECTOR, "#decode button").click()
    first = wait_for(lambda: driver.find_elements(By.CSS_SELECTOR, "#decode-results li"))
    expect(first and first[0].text.startswith("PW39 Pyramid 39-bit"),
           f"{where}: the decode ranks PW39 first ({first[0].text if first else 'nothing'!r})")


def identify_site(driver, where):
    """Reads of two facility codes' cards under P10004: the groups are shown, not guessed between."""
    driver.find_element(By.ID, "tab-wiegand").click()
    reads = driver.find_element(By.ID, "identify-reads")
    reads.clear()
    reads.send_keys("EA63EAAA4\nEA648BAD4\n61EE3085D")
    bits = driver.find_element(By.ID, "identify-bits")
    bits.clear()
    bits.send_keys("37")
    driver.find_element(By.CSS_SELECTOR, "#identify button").click()
    found = wait_for(lambda: driver.find_elements(By.CSS_SELECTOR, "#identify-results ol li"))
    first = found[0].text if found else ""
    expect(first.startswith("P10004") and "2 facility codes, not one" in first and
           "facility code 7500: cards 128341, 148950" in first,
           f"{where}: identify shows P10004's two facility codes ({first!r})")


def unnamed_controls(driver):
    """The controls on screen that a screen reader would find without a
    name, from Chromium's own accessibility tree."""
    worked_with = {"textbox", "button", "combobox", "checkbox", "radio", "tab", "spinbutton"}
    tree = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    unnamed = []
    for node in tree:
        role = node.get("role", {}).get("value")
        if node.get("ignored") or role not in worked_with:
            continue
        if not node.get("name", {}).get("value", "").strip():
            unnamed.append(role)
    return unnamed


def every_control_named(driver, where):
    for tab in ["tab-data", "tab-split", "tab-wiegand"]:
        driver.find_element(By.ID, tab).click()
        unnamed = unnamed_controls(driver)
        expect(unnamed == [], f"{where}: {tab} has controls without a name: {unnamed}")


def no_sideways_scrolling(driver, where):
    for tab in ["tab-data", "tab-split", "tab-wiegand"]:
        driver.find_element(By.ID, tab).click()
        widths = driver.execute_script(
            "return [document.documentElement.scrollWidth, document.documentElement.clientWidth]")
        expect(widths[0] <= widths[1], f"{where}: {tab} scrolls sideways at 360 px ({widths})")


def screenshots(driver, url, folder):
    """Each page at a phone's width and a desktop's, with a card worked out."""
    for width in (360, 1280):
        viewport(driver, width, 800 if width == 360 else 900)
        driver.get(f"{url}?width={width}#{PRESET}")
        ready(driver)
        keys(driver, "12345")
        driver.save_screenshot(str(folder / f"web-data-input-{width}.png"))
        split_from_keyboard(driver, f"screenshot at {width}")
        driver.save_screenshot(str(folder / f"web-split-data-{width}.png"))
        decode_wiegand(driver, f"screenshot at {width}")
        driver.execute_script("window.scrollTo(0, 0)")
        driver.save_screenshot(str(folder / f"web-wiegand-{width}.png"))
    viewport(driver, 1280, 900)


def requests_elsewhere(driver, origin):
    names = driver.execute_script("return performance.getEntriesByType('resource').map(e => e.name)")
    return [name for name in names if not name.startswith(origin) and not name.startswith("data:")
            and not name.startswith("blob:")]


def main(site_dir, single_html, screenshot_dir):
    site = Site(site_dir)
    driver = browser()
    numbers = {}
    try:
        driver.get(site.url + "#" + PRESET)
        expect(ready(driver), "the site starts")
        numbers["ready after a first load (ms)"] = int(driver.execute_script("return document.body.dataset.readyMs"))
        check_translator(driver, "site")
        split_from_keyboard(driver, "site")
        decode_wiegand(driver, "site")
        identify_site(driver, "site")
        expect(requests_elsewhere(driver, site.url) == [], f"requests elsewhere: {requests_elsewhere(driver, site.url)}")
        every_control_named(driver, "site")
        viewport(driver, 360)
        driver.refresh()
        ready(driver)
        no_sideways_scrolling(driver, "site")
        screenshots(driver, site.url, screenshot_dir)

        # Offline: the service worker keeps the site once it has taken over.
        controlled = wait_for(lambda: driver.execute_script("return !!navigator.serviceWorker.controller") or
                              (driver.refresh(), ready(driver), False)[2], 15)
        expect(controlled, "the service worker takes over the page")
        wait_for(lambda: driver.execute_script(
            "return caches.keys().then(k => k.length)") > 0, 10)
        site.stop()
        driver.get(site.url + "?offline#" + PRESET)
        expect(ready(driver), "a reload with the server gone starts from the service worker")
        numbers["ready after a reload (ms)"] = int(driver.execute_script("return document.body.dataset.readyMs"))
        check_translator(driver, "offline")

        # The single file, from file:// with no server at all.
        driver.get(Path(single_html).resolve().as_uri() + "#" + PRESET)
        expect(ready(driver), "the single-file page starts from file://")
        check_translator(driver, "single file")
        split_from_keyboard(driver, "single file")
        expect(requests_elsewhere(driver, "file://") == [], "the single file fetches nothing")
    finally:
        driver.quit()
    print(json.dumps(numbers))
    print("ok" if not failures else f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])))
