"""A copy of vantorel.exe under Wine with a stand-in XInput beside it (xinput_standin.cpp),
loaded only from there, that plays a scripted pad: it answers only if the game loaded it."""

import os
import shutil

import pytest

import harness
import scene

EXIT_LINE = b"Game successfully returning...\r\n"
STANDIN = os.path.join(os.path.dirname(harness.WINDOWS_BIN), "standin", "xinput1_4.dll")
NAMES = ["xinput1_4", "xinput9_1_0", "xinput1_3"]
DPAD_RIGHT = 0x0008
START = 0x0010
BACK = 0x0020
A = 0x1000
Y = 0x8000


class Pad:
    """What the stand-in reads (pads.txt) and reports (xinput.txt) in the game's folder."""

    def __init__(self, folder):
        self.folder = folder
        self.version = 0

    def set(self, *pads):  # (user, buttons, stick across) for each pad plugged in
        self.version += 1
        path = os.path.join(self.folder, "pads.txt")
        with open(path + ".new", "w") as f:
            f.write("\n".join([str(self.version)] + [" ".join(map(str, p)) for p in pads]))
        os.replace(path + ".new", path)

    def report(self):  # (asks, absent asks, ms) since the last set, once the stand-in has read it
        try:
            with open(os.path.join(self.folder, "xinput.txt")) as f:
                version, *counts = (int(n) for n in f.read().split())
        except (OSError, ValueError):
            return None
        return counts if version == self.version else None

    def looked(self, asks):  # waits until the game has asked the pads plugged in that often
        report = harness.poll(lambda: (r := self.report()) and r[0] - r[1] >= asks and r, 20, 0.02)
        assert report, f"the game did not ask the pads {asks} times"
        return report


@pytest.fixture
def pad_game(display, wine_env, start_game):
    """start(dll) -> (game, pad): the stand-in named dll (or none), the names before it
    disabled, and the pads the game finds at its start all pulled out."""

    def start(dll):
        tried = NAMES.index(dll) if dll else len(NAMES)
        overrides = ["mscoree,mshtml=", ",".join(NAMES[:tried]) + "=" if tried else "",
                     f"{dll}=n" if dll else ""]
        env = dict(wine_env, WINEDLLOVERRIDES=";".join(filter(None, overrides)))
        pads = []

        def launch(folder):
            shutil.copy(os.path.join(harness.WINDOWS_BIN, "vantorel.exe"), folder)
            if dll:
                shutil.copy(STANDIN, os.path.join(folder, dll + ".dll"))
            pads.append(Pad(folder))
            pads[0].set()
            return harness.Game(["wine", os.path.join(folder, "vantorel.exe")], folder, env,
                                display, focus="Wine desktop")

        game = start_game(launch, os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp"))
        assert game.shows(scene.field) == ""
        return game, pads[0]

    yield start
    harness.end_wine(wine_env)


def shown(check, want=True):
    return lambda shot: "" if check(shot) == want else f"{check.__name__} is not {want}"


def paddle(game):
    return harness.poll(lambda: scene.paddle_x(game.display.shot()), 10)


def quit_with_escape(game):
    game.press_until("Escape", game.ended)
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE


def test_the_d_pad_and_the_stick_past_half_move_the_paddle_and_half_does_not(pad_game):
    game, pad = pad_game("xinput1_4")
    steps = [(0, 0, 16384, 0), (0, DPAD_RIGHT, 0, 1), (0, 0, -16384, 0), (0, 0, -16385, -1),
             (3, 0, 16385, 1)]  # (pad, buttons, stick across, the way the paddle goes)
    for user, buttons, stick, way in steps:
        # Start held all along answers every prompt at once, so that play goes on.
        pad.set((user, START | buttons, stick))
        pad.looked(20)
        start = paddle(game)
        if way:
            moved = game.shows(lambda shot: "" if (scene.paddle_x(shot) - start) * way > 0
                               else "the paddle stayed", 10)
            assert moved == "", (user, buttons, stick)
        else:
            pad.looked(500)
            assert paddle(game) == start, (user, buttons, stick)
    quit_with_escape(game)


def test_a_and_start_dismiss_prompts_y_shows_the_overlay_and_back_quits(pad_game):
    game, pad = pad_game("xinput1_4")
    for button in (A, START):
        assert game.shows(shown(scene.prompt_shown)) == ""
        pad.set((1, button, 0))
        assert game.shows(shown(scene.prompt_shown, False)) == ""
        pad.set((1, 0, 0))
    # A held answers every prompt at once, until the pad is pulled out mid-press.
    pad.set((2, A, 0))
    pad.looked(100)
    pad.set()
    assert game.shows(shown(scene.prompt_shown)) == "", "the pad pulled out still held Enter"
    pad.set((2, START, 0))
    assert game.shows(shown(scene.prompt_shown, False)) == "", "the pad plugged in again"
    pad.set((2, Y, 0))
    pad.looked(20)
    pad.set()
    assert game.shows(shown(scene.overlay_shown)) == ""
    pad.set((0, BACK, 0))
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE


@pytest.mark.parametrize("dll", ["xinput9_1_0", None])
def test_with_no_pad_or_no_xinput_at_all_the_keyboard_plays(pad_game, dll):
    game, pad = pad_game(dll)
    start = paddle(game)
    assert game.press_until("Right", lambda: paddle(game) > start)
    if dll:
        asks, absent, ms = pad.report()
        # One absent pad asked every 200 ms, besides the four asked at the start.
        assert asks == absent <= 4 + ms // 200 + 1
    else:
        assert pad.report() is None
    quit_with_escape(game)
