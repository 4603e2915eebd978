"""The browser tests' fixtures: the built site served on 127.0.0.1, Debian's Chromium run
headless through ChromeDriver, and the game's page in it as the tests drive it, whose clock and
animation frames are the test's unless it asks for the browser's own."""

import base64
import contextlib
import os

import pytest
from selenium.webdriver.common.action_chains import ActionChains

from chromium import served, start_chromium
from harness import poll
from scene import ROOT, read_image

SITE = os.path.join(ROOT, "build", "web")

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
        result = poll(lambda: self.js(script), timeout, interval=0.05)
        assert result, f"timed out waiting for: {script}"
        return result

    def frames(self):
        """How many frames the game has presented."""
        return self.js("return vantorel.frames")

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

    def shot(self):
        """The canvas as it is now, read back through a PNG, which keeps every pixel."""
        url = self.js("return document.getElementById('screen').toDataURL('image/png')")
        return read_image("png:-", base64.b64decode(url.partition(",")[2]))


@pytest.fixture(scope="session")
def site():
    """The address of the built site, served on 127.0.0.1 for the whole run."""
    if not os.path.exists(os.path.join(SITE, "index.html")):
        pytest.fail(f"{SITE} holds no site: build it with 'make web'")
    with served(SITE) as url:
        yield url


@pytest.fixture
def browser(request, tmp_path):
    driver = start_chromium(tmp_path / "profile", console=True)
    request.node.save_screen = driver.save_screenshot
    yield driver
    driver.quit()


@pytest.fixture
def page(browser, site):
    """open(held=True, before=script run first) -> the game's Page."""

    def open_page(held=True, before=""):
        return Page(browser, site, held, before)

    return open_page
