"""vantorel.exe under Wine with a stand-in XInput beside it (xinput_standin.cpp) that plays a
scripted pad: moving, the prompts, the overlay, quitting, a pad pulled out and plugged in, and
the DLL names tried in turn."""

import os
import shutil

import pytest

import harness
import scene

EXIT_LINE = b"Game successfully returning...\r\n"
STANDIN = os.path.join(os.path.dirname(harness.WINDOWS_BIN), "standin", "xinput1_4.dll")
NAMES = ["xinput1_4", "xinput9_1_0", "xinput1_3"]
# XInput's buttons.
DPAD_RIGHT = 0x0008
START = 0x0010
BACK = 0x0020
A = 0x1000
Y = 0x8000


class ScriptedPad:
    """What the stand-in reads (pads.txt) and reports (xinput.txt) in the game's folder."""

    def __init__(self, folder):
        self.folder = folder
        self.version = 0

    def set(self, *pads):
        """Each pad plugged in as (user, buttons, stick across); the rest are not there."""
        self.version += 1
        lines = [str(self.version)] + [f"{user} {buttons} {stick}" for user, buttons, stick in pads]
        path = os.path.join(self.folder, "pads.txt")
        with open(path + ".new", "w") as f:
            f.write("\n".join(lines) + "\n")
        os.replace(path + ".new", path)

    def report(self):
        """(the path it was loaded from, asks, absent asks, ms) under the latest script."""
        try:
            with open(os.path.join(self.folder, "xinput.txt")) as f:
                path, numbers = f.read().splitlines()
        except (OSError, ValueError):
            return None
        version, asks, absent, ms = (int(n) for n in numbers.split())
        return (path, asks, absent, ms) if version == self.version else None

    def looked(self, asks):
        """Waits until the game has asked the pads plugged in that many times since the latest
        script."""
        report = harness.poll(lambda: (r := self.report()) and r[1] - r[2] >= asks and r, 20, 0.02)
        assert report, f"the game did not ask the pads plugged in {asks} times"
        return report


@pytest.fixture
def pad_game(display, wine_env, start_game):
    """start(dll=None, disabled=()) -> (game, pad): a copy of vantorel.exe in its run folder
    with the stand-in beside it under the name dll, loaded only from there; the names in
    disabled are not to be had at all."""

    def start(dll=None, disabled=()):
        overrides = ["mscoree,mshtml="]
        if disabled:
            overrides.append(",".join(disabled) + "=")
        if dll:
            overrides.append(dll + "=n")
        env = dict(wine_env, WINEDLLOVERRIDES=";".join(overrides))
        pads = []

        def launch(folder):
            shutil.copy(os.path.join(harness.WINDOWS_BIN, "vantorel.exe"), folder)
            if dll:
                shutil.copy(STANDIN, os.path.join(folder, dll + ".dll"))
            pads.append(ScriptedPad(folder))
            pads[0].set()
            return harness.Game(["wine", os.path.join(folder, "vantorel.exe")], folder, env,
                                display, focus="Wine desktop")

        game = start_game(launch, os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp"))
        return game, pads[0]

    yield start
    harness.end_wine(wine_env)


def paddle(game):
    x = None

    def seen():
        nonlocal x
        x = scene.paddle_x(game.display.shot())
        return x is not None

    assert harness.poll(seen, 10), "no player's paddle"
    return x


def prompt(shot):
    return "" if scene.prompt_shown(shot) else "no prompt"


def no_prompt(shot):
    return "a prompt" if scene.prompt_shown(shot) else ""


def moves(game, where):
    return game.shows(lambda shot: "" if where(scene.paddle_x(shot) or 0) else "not there", 10)


def test_the_d_pad_and_the_stick_past_half_move_the_paddle_and_half_does_not(pad_game):
    game, pad = pad_game("xinput1_4")
    # Start held all along answers every prompt at once, so that play goes on.
    pad.set((0, START, 16384))
    assert game.shows(scene.field) == ""
    start = paddle(game)
    path = pad.looked(500)[0]
    assert path.lower() == os.path.join("z:" + game.folder, "xinput1_4.dll").replace("/", "\\")
    assert paddle(game) == start, "the stick at exactly half moved the paddle"
    pad.set((0, START | DPAD_RIGHT, 0))
    assert moves(game, lambda x: x > start) == ""
    pad.set((0, START, -16384))
    right = paddle(game)
    pad.looked(500)
    assert paddle(game) == right, "the stick at exactly half moved the paddle"
    pad.set((0, START, -16385))
    assert moves(game, lambda x: x < right) == ""
    pad.set((3, START, 16385))
    assert moves(game, lambda x: x >= right) == ""
    game.press_until("Escape", game.ended)
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE


def test_a_and_start_dismiss_prompts_y_shows_the_overlay_and_back_quits(pad_game):
    game, pad = pad_game("xinput1_4")
    for button in (A, START):
        assert game.shows(prompt) == ""
        pad.set((1, button, 0))
        assert game.shows(no_prompt) == ""
        pad.set((1, 0, 0))
    # A held answers every prompt at once, until the pad is pulled out mid-press.
    pad.set((2, A, 0))
    pad.looked(100)
    pad.set()
    assert game.shows(prompt) == "", "the pad pulled out still held Enter"
    # Plugged in again, it is seen within a second.
    pad.set((2, START, 0))
    assert game.shows(no_prompt) == ""
    pad.set((2, Y, 0))
    pad.looked(20)
    pad.set()
    assert game.shows(lambda shot: "" if scene.overlay_shown(shot) else "no overlay") == ""
    pad.set((0, BACK, 0))
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE


def test_with_no_pad_the_keyboard_plays_and_absent_pads_are_asked_seldom(pad_game):
    game, pad = pad_game("xinput1_4")
    assert game.shows(scene.field) == ""
    start = paddle(game)
    assert game.press_until("Right", lambda: paddle(game) > start)
    _, asks, absent, ms = harness.poll(pad.report, 10)
    # One absent pad every 200 ms, besides the four asked at the start.
    assert asks == absent <= 4 + ms // 200 + 1
    game.press_until("Escape", game.ended)
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE


@pytest.mark.parametrize("tried", [2, 3, 4], ids=["xinput9_1_0", "xinput1_3", "none"])
def test_each_name_in_turn_and_without_any_the_keys_alone(pad_game, tried):
    dll = NAMES[tried - 1] if tried <= len(NAMES) else None
    game, pad = pad_game(dll, disabled=NAMES[:tried - 1])
    pad.set((0, DPAD_RIGHT, 0))
    assert game.shows(scene.field) == ""
    if dll:
        assert pad.looked(1)[0].lower().endswith("\\" + dll + ".dll")
        assert moves(game, lambda x: x > 380) == ""
    else:
        assert pad.report() is None
        start = paddle(game)
        assert game.press_until("Right", lambda: paddle(game) > start)
    game.press_until("Escape", game.ended)
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE
