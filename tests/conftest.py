"""Shared by the browser and the end-to-end tests, which run with Debian's Python (pytest and
Selenium come from its packages): /usr/bin/python3 -m pytest tests/web tests/e2e"""

import os
import re
import shutil

import pytest

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
