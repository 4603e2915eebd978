"""One Xvfb screen and one Wine prefix for the whole run of the browser, end-to-end and release
tests, and a screenshot kept for each failure."""

import os
import re
import shutil

import pytest

import harness
from chromium import start_chromium
from scene import ROOT

EVIDENCE = os.path.join(ROOT, "build", "e2e")


def pytest_sessionstart(session):
    # Screenshots from an earlier run would pass for this one's.
    shutil.rmtree(EVIDENCE, ignore_errors=True)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    # A test that fails keeps the screen as it last looked at it, in build/e2e/<test>.png, named
    # in its report; at once, before the teardown closes the screen. A fixture that has a
    # screen sets item.save_screen(path).
    outcome = yield
    report = outcome.get_result()
    save_screen = getattr(item, "save_screen", None)
    if report.failed and report.when != "teardown" and save_screen:
        path = os.path.join(EVIDENCE, re.sub(r"[^\w.-]+", "-", item.name) + ".png")
        os.makedirs(EVIDENCE, exist_ok=True)
        try:
            save_screen(path)
        except Exception as error:  # the verdict stands; only its picture is missing
            path = f"none: {error!r}"
        report.sections.append(("screenshot", path))


@pytest.fixture(scope="session")
def display():
    with harness.Display() as screen:
        yield screen


@pytest.fixture(scope="session")
def wine_env(display, tmp_path_factory):
    env = harness.wine_env(str(tmp_path_factory.mktemp("wineprefix")), display.env())
    harness.prepare_wine_prefix(env, crash_dialog=False)
    yield env
    harness.end_wine(env)


@pytest.fixture
def screen(request, display):
    display.last_shot = None
    request.node.save_screen = lambda path: (display.last_shot or display.shot()).save(path)
    return display


@pytest.fixture
def browser(request, tmp_path):
    """A fresh headless Chromium, kept as the failing test last saw it."""
    driver = start_chromium(tmp_path / "profile")
    request.node.save_screen = driver.save_screenshot
    yield driver
    driver.quit()
