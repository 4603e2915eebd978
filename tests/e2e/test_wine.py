"""vantorel.exe under Wine: a log it cannot open, the display taken by a second copy and given
back, title files the display cannot use, and 60 frames a second where the flip never waits."""

import os
import struct
import subprocess
from collections.abc import Callable
from dataclasses import dataclass

import pytest

import harness
import scene

EXIT_LINE = b"Game successfully returning...\r\n"
TITLE = os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp")
RESTORE_WINDOW = os.path.join(harness.WINDOWS_BIN, "restore_window.exe")


def dismiss_box(game, when):
    assert harness.poll(game.boxes, 30), f"no box {when}; exit code {game.process.poll()}"
    assert game.press_until("Return", lambda: not game.boxes()), f"Return left the box {when} open"


def end_with_escape(game):
    game.press_until("Escape", game.ended)
    assert game.process.wait(30) == 0
    return game.log()


def minimised_copies(game):
    count = 0
    for window in game.display.windows("^Vantorel$"):
        shell = game.display.xdotool("getwindowgeometry", "--shell", window)
        if int(dict(word.split("=") for word in shell).get("WIDTH", 800)) < 800:
            count += 1
    return count


def test_log_that_cannot_be_opened_is_reported_and_play_goes_on(wine_game, wine_env):
    game = wine_game(prepare=lambda folder: os.mkdir(os.path.join(folder, "Log.txt")))
    dismiss_box(game, "at start-up")
    assert game.shows(scene.field) == ""
    # A close request, not Escape: a box opened while Escape's press still waits in the queue
    # would take the press and close at once.
    harness.wine(wine_env, "wine", "taskkill", "/im", "vantorel.exe", timeout=30)
    dismiss_box(game, "for the exit line")
    assert game.process.wait(30) == 0
    assert os.path.isdir(os.path.join(game.folder, "Log.txt"))


def test_a_second_copy_takes_the_display_and_its_escape_leaves_the_first_running(wine_game,
                                                                                  wine_env):
    first = wine_game()
    assert first.shows(scene.walls_drawn) == ""
    # The second takes the display; Wine minimises the first, which plays on unseen and loses
    # its surfaces.
    second = wine_game()
    assert harness.poll(lambda: minimised_copies(first), 30), "the first was not minimised"
    assert second.shows(scene.walls_drawn) == ""

    def escape_ends_second():
        second.tap("Escape")
        return harness.poll(second.ended, 2)

    assert harness.poll(escape_ends_second, 20, interval=0), "Escape did not end the second"
    assert second.process.wait(30) == 0
    # What a player's click on the task bar does: the window back, in the foreground. Its
    # helper fails when it finds no game window.
    harness.wine(wine_env, "wine", RESTORE_WINDOW, timeout=30)
    assert first.shows(lambda shot: scene.walls_drawn(shot) or scene.title_drawn(shot), 10) == ""
    assert end_with_escape(first) == EXIT_LINE


def title_file(*changes):
    return subprocess.run(["convert", TITLE, *changes, "-type", "truecolor", "bmp3:-"],
                          check=True, stdout=subprocess.PIPE, timeout=20).stdout


def top_down_title():
    with open(TITLE, "rb") as f:
        data = f.read()
    return data[:22] + struct.pack("<i", -120) + data[26:]


@dataclass
class RefusedTitle:
    name: str
    make: Callable[[], bytes | None]  # FinalTitle.bmp's bytes, or None for no file at all
    report: bytes  # what the log holds before the exit line


# Title files the game cannot show: one box and one report, then play without a title.
REFUSED_TITLES = [
    # No file at all.
    RefusedTitle("missing", lambda: None, b"Could not open FinalTitle.bmp\r\n"),
    # A negative height: no surface can have that size, so it is refused as a driver would.
    RefusedTitle("top-down", top_down_title, b"NewSurface Failed\r\n"),
    # Smaller than the title. The report's own line feed is stored as CR LF, like every other.
    RefusedTitle("64x32", lambda: title_file("-resize", "64x32!"),
                 b"FinalTitle.bmp is 64 x 32 pixels.\r\nThe title needs at least 700 x 120.\r\n"),
]


@pytest.mark.parametrize("case", REFUSED_TITLES, ids=lambda case: case.name)
def test_title_file_the_game_cannot_show_is_reported_once_then_play(wine_game, case):
    game = wine_game(title=case.make())
    dismiss_box(game, "at start-up")
    assert game.shows(lambda shot: scene.field(shot) or scene.no_title(shot)) == ""
    assert end_with_escape(game) == case.report + EXIT_LINE


def test_twenty_seconds_of_play_at_60_frames_a_second(wine_game):
    # Wine's flip does not wait; the game's own pace holds it, by Wine's own count (every 1.5 s).
    game = wine_game(debug="-all,+fps")
    assert game.shows(scene.field) == ""

    def fault():
        if game.boxes():
            return "a box came"
        return scene.out_of_bounds(game.display.shot())

    # Return held answers every prompt at once, so play goes on for the whole time.
    with game.held("Return"):
        assert harness.poll(fault, 20, interval=0.02) is None

    def rates():
        return [float(line.split("approx ")[1].split("fps")[0])
                for line in game.errors().splitlines() if "update_frontbuffer" in line][1:]

    # Three more reports with no screenshots taken meanwhile, which slow Wine's flips here. A
    # busy machine may hold the game below 60 for a while, never above.
    seen = len(rates())
    assert harness.poll(lambda: len(rates()) >= seen + 3, 30)
    assert 55 <= max(rates()) <= 61, rates()
    assert end_with_escape(game) == EXIT_LINE
