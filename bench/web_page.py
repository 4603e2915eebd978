#!/usr/bin/python3
"""How fast the browser build runs in headless Chromium: the time per frame inside the page
(the game's work, then the canvas update: the 5-6-5 to RGBA conversion and putImageData),
page load to the first presented frame, and what the page downloads.

Usage: bench/web_page.py [SITE]   (default build/web, made by `make web`)

The page times each of its own frames with performance.now (vantorel.frameTimes); this
script plays with the overlay on and takes the last 600 frames. Each load comes from a
fresh browser with its cache off, so every byte is fetched again.
"""
import os
import statistics
import sys
import tempfile

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [os.path.join(ROOT, "tests"), os.path.join(ROOT, "tests", "web")]
from chromium import CHROMIUM_FLAGS, served, start_chromium  # noqa: E402
from harness import poll  # noqa: E402

FRAMES = 600
LOADS = 5
REFRESH_MS = 1000 / 60
GOALS = {"p99": 4.0, "first frame": 1000.0, "download": 1 << 20}


def wait_for(condition, timeout):
    result = poll(condition, timeout, interval=0.02)
    if not result:
        raise TimeoutError("the page did not get there in time")
    return result


def browser(profile):
    driver = start_chromium(profile)
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    return driver


def load(driver, url):
    """Loads the page; returns ms from navigation to the first frame, and bytes fetched."""
    driver.get(url)
    wait_for(lambda: driver.execute_script("return vantorel.firstFrameAt !== null"), 20)
    first, size = driver.execute_script(
        "const entries = performance.getEntriesByType('navigation')"
        "    .concat(performance.getEntriesByType('resource'));"
        "return [vantorel.firstFrameAt,"
        "        entries.reduce((sum, e) => sum + e.transferSize, 0)];")
    return first, size


def overlay_on(driver):
    """Holds F5 until the overlay's first line shows in white."""
    white = ("const d = document.getElementById('screen').getContext('2d')"
             "    .getImageData(0, 150, 100, 16).data;"
             "for (let i = 0; i < d.length; i += 4)"
             "  if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255) return true;"
             "return false;")
    ActionChains(driver).key_down(Keys.F5).perform()
    try:
        wait_for(lambda: driver.execute_script(white), 5)
    finally:
        ActionChains(driver).key_up(Keys.F5).perform()


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def main():
    site = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/web"))
    if not os.path.exists(os.path.join(site, "index.html")):
        print(f"web_page: {site} holds no site: build it with 'make web'", file=sys.stderr)
        return 1
    files = {name: os.path.getsize(os.path.join(site, name)) for name in sorted(os.listdir(site))}

    firsts, sizes = [], []
    with served(site) as url, tempfile.TemporaryDirectory() as profiles:
        for n in range(LOADS):
            driver = browser(os.path.join(profiles, str(n)))
            try:
                first, size = load(driver, url)
                firsts.append(first)
                sizes.append(size)
                if n == LOADS - 1:
                    overlay_on(driver)
                    start = driver.execute_script("return vantorel.frames")
                    wait_for(lambda: driver.execute_script("return vantorel.frames")
                             >= start + FRAMES, FRAMES / 10)
                    times = driver.execute_script(f"return vantorel.frameTimes({FRAMES})")
            finally:
                driver.quit()

    work = [w for w, _ in times]
    update = [u for _, u in times]
    total = [w + u for w, u in times]
    print(f"Chromium {CHROMIUM_FLAGS[0]}, {len(times)} frames in play with the overlay on "
          "(ms per frame)")
    print(f"{'':16}{'median':>9}{'p99':>9}{'max':>9}")
    for name, values in (("game work", work), ("canvas update", update), ("frame", total)):
        print(f"{name:16}{statistics.median(values):9.2f}{percentile(values, 0.99):9.2f}"
              f"{max(values):9.2f}")
    p99 = percentile(total, 0.99)
    print(f"frame p99 / goal {GOALS['p99']:.0f} ms = {p99 / GOALS['p99']:.2f}; "
          f"frame p99 / 60 Hz refresh = {p99 / REFRESH_MS:.3f}")
    print(f"load to first frame over {LOADS} cold loads: median {statistics.median(firsts):.0f} ms, "
          f"max {max(firsts):.0f} ms (goal {GOALS['first frame']:.0f} ms)")
    print(f"downloaded: {max(sizes)} bytes (goal {GOALS['download']}); files: "
          + ", ".join(f"{name} {size}" for name, size in files.items()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
