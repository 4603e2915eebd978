"""The browser tests' fixtures: the built site served on 127.0.0.1, and the game's page in
headless Chromium as the tests drive it, with scripted pads, fingers and (unless a test asks
for the browser's own) the test's clock and animation frames."""

import base64
import os

import pytest
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

from chromium import served, start_chromium
from harness import poll
from scene import ROOT, read_image

SITE = os.path.join(ROOT, "build", "web")

# Runs before the page's own scripts: performance.now is the test's clock, and animation
# frames wait until heldFrames.run(count) lets them go, one by one, each 16 ms after the last;
# it returns how many of the count it could not run for want of a waiting frame.
HELD_FRAMES = """
let now = 0;
let waiting = [];
performance.now = () => now;
window.requestAnimationFrame = (callback) => waiting.push(callback);
window.heldFrames = {
  waiting: () => waiting.length,
  run(count) {
    for (; count > 0 && waiting.length > 0; --count) {
      now += 16;
      const due = waiting;
      waiting = [];
      due.forEach((callback) => callback(now));
    }
    return count;
  },
};
"""
# Two pads in the standard layout, all up, whose buttons and left stick Page.pad sets.
SCRIPTED_PADS = """
window.pads = [0, 1].map(() => ({mapping: 'standard', axes: [0, 0, 0, 0],
                                 buttons: Array.from({length: 17}, () => ({pressed: false}))}));
navigator.getGamepads = () => [null, ...pads];
"""


class Page:
    """The game's page: its status, canvas, log and frames, and the keys, pads and fingers."""

    def __init__(self, driver, url, held, before):
        self.driver = driver
        script = SCRIPTED_PADS + before
        if held:
            script = HELD_FRAMES + script
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": script})
        driver.get(url)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait(self, script, timeout=10):
        """Waits until the script returns something true, and returns it."""
        result = poll(lambda: self.js(script), timeout, interval=0.05)
        assert result, f"timed out waiting for: {script}"
        return result

    def step(self, frames=1):
        """Lets `frames` held animation frames go, waiting for each as needed."""
        while frames:
            self.wait("return heldFrames.waiting() > 0")
            frames = self.js("return heldFrames.run(arguments[0])", frames)

    def key(self, key, frames=1):
        """Holds the key down for that many frames."""
        ActionChains(self.driver).key_down(key).perform()
        self.step(frames)
        ActionChains(self.driver).key_up(key).perform()

    def pad(self, *buttons, stick=0, which=0):
        """Holds these buttons of a scripted pad and its left stick at `stick`; the rest up."""
        self.js("const [buttons, stick, which] = arguments;"
                "pads[which].buttons.forEach((b, i) => { b.pressed = buttons.includes(i); });"
                "pads[which].axes[0] = stick;", list(buttons), stick, which)

    def phone(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                    {"enabled": True, "maxTouchPoints": 2})
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 2, "mobile": True})

    def touch(self, kind, *points):
        """A touch event ("touchStart", "touchMove", "touchEnd") with fingers at these points."""
        fingers = [{"x": x, "y": y, "id": n} for n, (x, y) in enumerate(points)]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": kind, "touchPoints": fingers})

    def rect(self, name):
        """Where the canvas ("screen") or the key button of this name is on the page."""
        element = self.driver.find_element(By.XPATH, f"//*[@id='{name}' or text()='{name}']")
        return self.js("return arguments[0].getBoundingClientRect().toJSON()", element)

    def tap(self, name):
        """A finger down and up again at once on the middle of rect(name), then a frame."""
        box = self.rect(name)
        self.touch("touchStart", (box["x"] + box["width"] / 2, box["y"] + box["height"] / 2))
        self.touch("touchEnd")
        self.step()

    def log(self):
        return self.js("return vantorel.log()").encode("latin-1")

    def text(self, element_id):
        return self.js(f"return document.getElementById('{element_id}').textContent")

    def shot(self):
        """The canvas as it is now, read back through a PNG, which keeps every pixel."""
        url = self.js("return document.getElementById('screen').toDataURL('image/png')")
        return read_image("png:-", base64.b64decode(url.partition(",")[2]))


@pytest.fixture(scope="session")
def site():
    if not os.path.exists(os.path.join(SITE, "index.html")):
        pytest.fail(f"{SITE} holds no site: build it with 'make web'")
    with served(SITE) as url:
        yield url


@pytest.fixture
def browser(request, tmp_path):
    driver = start_chromium(tmp_path / "profile")
    request.node.save_screen = driver.save_screenshot
    yield driver
    driver.quit()


@pytest.fixture
def page(browser, site):
    """open(held=True, before=script run first) -> the game's Page."""
    return lambda held=True, before="": Page(browser, site, held, before)
