"""The built site served, and the game's page in headless Chromium with scripted pads, fingers
and (unless a test asks for the browser's own) the test's clock and animation frames."""

import os

import pytest
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

from chromium import canvas, served
from harness import poll
from scene import ROOT

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
        result = poll(lambda: self.js(script), timeout, interval=0.05)
        assert result, f"timed out waiting for: {script}"
        return result

    def step(self, frames=1):
        """Lets frames go, and waits until the last has been shown: the game may sleep first."""
        left = frames
        while left:
            self.wait("return heldFrames.waiting() > 0")
            left = self.js("return heldFrames.run(arguments[0])", left)
        if frames:
            self.wait("return heldFrames.waiting() > 0 || vantorel.state !== 'running'")

    def key(self, key, frames=1):
        ActionChains(self.driver).key_down(key).perform()
        self.step(frames)
        ActionChains(self.driver).key_up(key).perform()

    def pad(self, *buttons, stick=0, which=0):
        self.js("const [buttons, stick, which] = arguments;"
                "pads[which].buttons.forEach((b, i) => { b.pressed = buttons.includes(i); });"
                "pads[which].axes[0] = stick;", list(buttons), stick, which)

    def phone(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                    {"enabled": True, "maxTouchPoints": 2})
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 2, "mobile": True})

    def touch(self, kind, *points):
        fingers = [{"x": x, "y": y, "id": n} for n, (x, y) in enumerate(points)]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": kind, "touchPoints": fingers})

    def rect(self, name):
        """The canvas ("screen") or the key button of this name."""
        element = self.driver.find_element(By.XPATH, f"//*[@id='{name}' or text()='{name}']")
        return self.js("return arguments[0].getBoundingClientRect().toJSON()", element)

    def tap(self, name):
        box = self.rect(name)
        self.touch("touchStart", (box["x"] + box["width"] / 2, box["y"] + box["height"] / 2))
        self.touch("touchEnd")
        self.step()

    def log(self):
        return self.js("return vantorel.log()").encode("latin-1")

    def text(self, element_id):
        return self.js(f"return document.getElementById('{element_id}').textContent")

    def shot(self):
        return canvas(self.driver)


@pytest.fixture(scope="session")
def site():
    assert os.path.exists(os.path.join(SITE, "index.html")), "build the site with 'make web'"
    with served(SITE) as url:
        yield url


@pytest.fixture
def page(browser, site):
    """open(held=True, before=script run first) -> the game's Page."""
    return lambda held=True, before="": Page(browser, site, held, before)
