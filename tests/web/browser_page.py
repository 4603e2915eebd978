"""The game's page in headless Chromium, as the browser tests drive it: the site's server, the
browser's flags, the test's hold on the page's clock and animation frames, and the page's
status, canvas, log and keyboard.
"""
import base64
import contextlib
import http.server
import os
import time

from selenium.webdriver.common.action_chains import ActionChains

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SITE = os.environ.get("VANTOREL_WEB_SITE", os.path.join(ROOT, "build", "web"))
EVIDENCE = os.path.join(ROOT, "build", "web-tests")
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
# Headless as root; and with nothing reaching out to the network on its own, since here its
# connections fail and stall it.
CHROMIUM_FLAGS = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync", "--window-size=800,777"]

# Runs before the page's own scripts: performance.now is the test's clock, and animation
# frames wait until heldFrames.step() lets them go, the clock moving on by `ms` first.
HELD_FRAMES = """
(() => {
  let now = 0;
  let waiting = [];
  performance.now = () => now;
  window.requestAnimationFrame = (callback) => waiting.push(callback);
  window.heldFrames = {
    waiting: () => waiting.length,
    step(ms) {
      now += ms;
      const due = waiting;
      waiting = [];
      due.forEach((callback) => callback(now));
    },
  };
})();
"""

READ_CANVAS = """
const data = document.getElementById('screen').getContext('2d')
    .getImageData(arguments[0], arguments[1], arguments[2], arguments[3]).data;
let text = '';
for (let i = 0; i < data.length; i += 0x8000)
  text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
return btoa(text);
"""


def wait_for(condition, timeout=10, interval=0.05):
    """Polls until condition() gives something true; returns it, or None at the timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm"}

    def log_message(self, format, *args):
        pass


class Page:
    """The game's page: its status, its canvas, its log, its frames and the keyboard."""

    def __init__(self, driver, url, held, before):
        self.driver = driver
        if held or before:
            script = (HELD_FRAMES if held else "") + before
            driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": script})
        driver.get(url)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait(self, script, timeout=10):
        """Waits until the script returns something true, and returns it."""
        result = wait_for(lambda: self.js(script), timeout)
        assert result, f"timed out waiting for: {script}"
        return result

    def status(self):
        return self.js("return {state: vantorel.state, exitCode: vantorel.exitCode,"
                       " frames: vantorel.frames}")

    def step(self, frames=1):
        """Lets `frames` held animation frames go, each one 16 ms after the last."""
        for _ in range(frames):
            self.wait("return heldFrames.waiting() > 0")
            self.js("heldFrames.step(16)")

    @contextlib.contextmanager
    def holding(self, key):
        """Holds the key down for the length of a with block."""
        ActionChains(self.driver).key_down(key).perform()
        try:
            yield
        finally:
            ActionChains(self.driver).key_up(key).perform()

    def log(self):
        return self.js("return vantorel.log()").encode("latin-1")

    def shown(self, element_id):
        return self.js(f"return !document.getElementById('{element_id}').hidden")

    def text(self, element_id):
        return self.js(f"return document.getElementById('{element_id}').textContent")

    def rgb(self, x, y, width, height):
        """The canvas's pixels in this rectangle, 3 bytes (R, G, B) each, rows top down."""
        rgba = base64.b64decode(self.js(READ_CANVAS, x, y, width, height))
        rgb = bytearray(width * height * 3)
        for channel in range(3):
            rgb[channel::3] = rgba[channel::4]
        return bytes(rgb)

