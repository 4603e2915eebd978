"""Fixtures of the browser tests: the built site (build/web/) served on 127.0.0.1, Debian's
Chromium run headless through ChromeDriver, and the game's page in it. Unless a test asks for
the browser's own frames, the page's clock and animation frames are the test's: the clock
starts at 0 and moves only when the test lets a frame go. A failed test keeps a screenshot
of the page in build/web-tests/<test>.png.

Run with Debian's Python (pytest and Selenium come from its packages): python3 -m pytest tests/web
"""
import functools
import http.server
import os
import re
import shutil
import threading

import pytest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

from browser_page import CHROMEDRIVER, CHROMIUM, CHROMIUM_FLAGS, EVIDENCE, SITE, Handler, Page


def pytest_sessionstart(session):
    # Screenshots from an earlier run would pass for this one's.
    shutil.rmtree(EVIDENCE, ignore_errors=True)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    # Each phase's report stays on the test, for the browser's teardown to see the verdict.
    outcome = yield
    report = outcome.get_result()
    setattr(item, "web_report_" + report.when, report)


@pytest.fixture
def site(tmp_path):
    """serve(without=()) -> the address of the built site, less the files named."""
    if not os.path.exists(os.path.join(SITE, "index.html")):
        pytest.fail(f"{SITE} holds no site: build it with 'make web'")
    servers = []

    def serve(without=()):
        folder = SITE
        if without:
            folder = str(tmp_path / f"site{len(servers)}")
            shutil.copytree(SITE, folder, ignore=lambda _, names: [n for n in names if n in without])
        server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(Handler, directory=folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        servers.append(server)
        return f"http://127.0.0.1:{server.server_address[1]}/"

    yield serve
    for server in servers:
        server.shutdown()
        server.server_close()


@pytest.fixture
def browser(request, tmp_path):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in CHROMIUM_FLAGS + [f"--user-data-dir={tmp_path / 'profile'}"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    yield driver
    try:
        reports = [getattr(request.node, "web_report_" + when, None) for when in ("setup", "call")]
        if any(report is not None and report.failed for report in reports):
            os.makedirs(EVIDENCE, exist_ok=True)
            path = os.path.join(EVIDENCE, re.sub(r"[^\w.-]+", "-", request.node.name) + ".png")
            driver.save_screenshot(path)
            print(f"screenshot: {path}")
    finally:
        driver.quit()


@pytest.fixture
def page(browser, site):
    """open(url=the built site, held=True, before=script run first) -> the game's Page."""

    def open_page(url=None, held=True, before=""):
        return Page(browser, url or site(), held, before)

    return open_page
