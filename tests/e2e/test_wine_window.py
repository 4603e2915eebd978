"""vantorel.exe in a window under Wine, on a 1024 x 768 screen of its own: where the display
cannot take the mode, asked for, and between the window and the full screen at Alt+Enter."""

import contextlib
import os

import pytest

import harness
import scene
from test_wine import EXIT_LINE, end_with_escape

EXPLORER = r"HKCU\Software\Wine\Explorer"


@pytest.fixture
def own_screen(request, start_game, wine_env):
    """start(desktop, args) -> the game on a new 1024 x 768 screen, in Wine's virtual desktop of
    that size, or without one (desktop False). The run's own desktop is put back after."""
    stack = contextlib.ExitStack()

    def start(desktop, args=()):
        reg = ("add", EXPLORER + r"\Desktops", "/v", "Default", "/d", "1024x768", "/f")
        if not desktop:
            reg = ("delete", EXPLORER, "/v", "Desktop", "/f")
        harness.wine(wine_env, "wine", "reg", *reg)
        # Wine's processes on the run's screen would stand between the game and this one.
        harness.end_wine(wine_env)
        screen = stack.enter_context(harness.Display("1024x768"))
        request.node.save_screen = lambda path: screen.last_shot.save(path)
        env = dict(wine_env, DISPLAY=screen.name)
        exe = os.path.join(harness.WINDOWS_BIN, "vantorel.exe")
        focus = "Wine desktop" if desktop else "^Vantorel$"
        return start_game(lambda folder: harness.Game(["wine", exe, *args], folder, env, screen,
                                                      focus),
                          os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp"))

    yield start
    harness.end_wine(wine_env)
    stack.close()
    for value in (("", "Desktop", "Default"), (r"\Desktops", "Default", "800x600")):
        harness.wine(wine_env, "wine", "reg", "add", EXPLORER + value[0], "/v", value[1], "/d",
                     value[2], "/f")


def test_without_the_mode_it_plays_in_a_window_and_the_screen_keeps_its_size(own_screen):
    game = own_screen(desktop=False)
    assert game.shows(lambda shot: scene.page_field(shot, True)) == ""
    assert game.display.xdotool("getdisplaygeometry") == ["1024", "768"]
    assert end_with_escape(game) == b"SetDisplayMode Failed: playing in a window\r\n" + EXIT_LINE


def test_window_asked_for_then_alt_enter_to_the_full_screen_and_back(own_screen):
    game = own_screen(desktop=True, args=["--window"])
    assert game.shows(lambda shot: scene.page_field(shot, True)) == ""
    for framed in (False, True):
        game.tap("alt+Return")
        assert game.shows(lambda shot: scene.page_field(shot, framed)) == "", framed
    assert end_with_escape(game) == EXIT_LINE
