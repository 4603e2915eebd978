"""Fixtures of the end-to-end tests: one Xvfb screen and one Wine prefix for the whole run, and
the game's process, which is always ended and whose last screenshot is kept when a test fails
(build/e2e/<test>.png)."""

import os
import re
import shutil

import pytest

import harness

EVIDENCE = os.path.join(harness.ROOT, "build", "e2e")


def pytest_sessionstart(session):
    # Screenshots from an earlier run would pass for this one's.
    shutil.rmtree(EVIDENCE, ignore_errors=True)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    # Each phase's report stays on the test, for the fixtures' teardown to see the verdict.
    outcome = yield
    report = outcome.get_result()
    setattr(item, "report_" + report.when, report)


def _failed(node):
    reports = (getattr(node, "report_" + when, None) for when in ("setup", "call"))
    return any(report is not None and report.failed for report in reports)


@pytest.fixture(scope="session")
def display():
    with harness.Display() as screen:
        yield screen


@pytest.fixture(scope="session")
def wine_env(display, tmp_path_factory):
    """An environment for Wine programs on the display, in a prefix made once for the run."""
    env = harness.wine_env(str(tmp_path_factory.mktemp("wineprefix")), display.env())
    harness.prepare_wine_prefix(env, crash_dialog=False)
    yield env
    harness.end_wine(env)


def _keep_screenshot(request, display):
    """The screen as the failing test last looked at it, under build/e2e/, named after the
    test and named in its report."""
    shot = display.last_shot or display.shot()
    name = re.sub(r"[^\w.-]+", "-", request.node.name).strip("-")
    path = os.path.join(EVIDENCE, name + ".png")
    shot.save(path)
    report = getattr(request.node, "report_call", None) or request.node.report_setup
    report.sections.append(("screenshot", path))


def _games(request, display, tmp_path, start, after=None):
    """A function that starts a game in a fresh run folder. Once the test is over, every game
    it started is ended, after the screenshot is kept if the test failed."""
    games = []
    display.last_shot = None

    def begin(*args, **kwargs):
        folder = str(tmp_path / f"run{len(games) + 1}")
        game = start(folder, *args, **kwargs)
        games.append(game)
        return game

    yield begin

    try:
        if games and _failed(request.node):
            _keep_screenshot(request, display)
    finally:
        for game in games:
            game.end()
        if after:
            after()


@pytest.fixture
def native_game(request, display, tmp_path):
    """start(env=the display's, title=the build's FinalTitle.bmp) -> the native game.
    title is a file, its bytes or None."""

    def start(folder, env=None, title=os.path.join(harness.NATIVE_BIN, "FinalTitle.bmp")):
        harness.run_folder(folder, title)
        return harness.start_native(display, folder, display.env() if env is None else env)

    yield from _games(request, display, tmp_path, start)


@pytest.fixture
def wine_game(request, display, wine_env, tmp_path):
    """start(title=the build's FinalTitle.bmp, prepare=None) -> vantorel.exe under Wine.
    title is a file, its bytes or None; prepare(folder) runs before the start. Every Wine
    process is ended afterwards."""
    exe = os.path.join(harness.WINDOWS_BIN, "vantorel.exe")

    def start(folder, title=os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp"), prepare=None):
        harness.run_folder(folder, title)
        if prepare:
            prepare(folder)
        return harness.start_wine(display, wine_env, folder, exe)

    yield from _games(request, display, tmp_path, start, after=lambda: harness.end_wine(wine_env))
