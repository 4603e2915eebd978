"""The games an end-to-end test starts, each ended after it."""

import os

import pytest

import harness


@pytest.fixture
def start_game(screen, tmp_path):
    """start(launch, title, prepare=None) -> launch(folder), in a new run folder holding title
    (a file, its bytes, or None) as FinalTitle.bmp; prepare(folder) runs first."""
    games = []

    def start(launch, title, prepare=None):
        folder = harness.run_folder(str(tmp_path / f"run{len(games)}"), title)
        if prepare:
            prepare(folder)
        games.append(launch(folder))
        return games[-1]

    yield start
    for game in games:
        game.end()


@pytest.fixture
def native_game(display, start_game):
    """start(env) -> the native game, with the build's FinalTitle.bmp."""
    title = os.path.join(harness.NATIVE_BIN, "FinalTitle.bmp")

    def start(env):
        return start_game(lambda folder: harness.start_native(display, folder, env), title)

    return start


@pytest.fixture
def wine_game(display, wine_env, start_game):
    """start(title=the build's FinalTitle.bmp, prepare=None, debug=None) -> vantorel.exe under
    Wine, with WINEDEBUG=debug when given."""
    exe = os.path.join(harness.WINDOWS_BIN, "vantorel.exe")

    def start(title=os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp"), prepare=None,
              debug=None):
        env = dict(wine_env, WINEDEBUG=debug) if debug else wine_env
        return start_game(lambda folder: harness.Game(["wine", exe], folder, env, display,
                                                      focus="Wine desktop"), title, prepare)

    yield start
    harness.end_wine(wine_env)
