"""Headless Chromium and a site served on 127.0.0.1, for the browser and release tests and
bench/web_page.py."""

import base64
import contextlib
import functools
import http.server
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

from scene import read_image

# Headless as root; and with nothing reaching out to the network on its own, since here its
# connections fail and stall it.
CHROMIUM_FLAGS = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync", "--window-size=800,777"]

# Run before the page's scripts: animation frames every 4 ms, a display faster than any the
# game should follow, and the time of every picture put on a canvas in `shown`.
FAST_FRAMES = """
window.requestAnimationFrame = (callback) => setTimeout(() => callback(performance.now()), 4);
window.shown = [];
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function(...args) {
  shown.push(performance.now());
  return put.apply(this, args);
};
"""


def start_chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in CHROMIUM_FLAGS + [f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


@contextlib.contextmanager
def served(directory):
    # Python knows .wasm as application/wasm, which the browser asks of WebAssembly.
    handler = functools.partial(QuietHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/"
    finally:
        server.shutdown()
        server.server_close()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass


def canvas(driver):
    """The page's canvas now, read back through a PNG, which keeps every pixel."""
    url = driver.execute_script("return document.getElementById('screen').toDataURL()")
    return read_image("png:-", base64.b64decode(url.partition(",")[2]))
