"""vantorel.exe under Wine, looked at the way a player would, in ordinary runs and in what a
player meets in the real world: another program taking the display and giving it back, keys
meant for another program, title files the display cannot use, and Wine's own frame rate."""

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


def dismiss_prompt(game):
    if scene.prompt_shown(game.display.last_shot):
        game.tap("Return")


def dismiss_box(game, when):
    assert harness.poll(game.boxes, 30), f"no box {when}; exit code {game.process.poll()}"
    assert game.press_until("Return", lambda: not game.boxes()), f"Return left the box {when} open"


def end_with_escape(game):
    """Escape, held until the game has ended; the log it leaves."""
    game.press_until("Escape", game.ended)
    assert game.process.wait(30) == 0
    return game.log()


def ball_moves(game):
    """Watches for the ball to leave where the last screenshot shows it: "", or what is wrong."""
    first = scene.ball_position(game.display.last_shot)

    def moved(shot):
        if scene.ball_position(shot) in (None, first):
            return f"the ball stays at {first}"
        return ""

    return game.shows(moved)


def minimised_copies(game):
    """How many of the game's windows on the screen are minimised."""
    count = 0
    for window in game.display.windows("^Vantorel$"):
        shell = game.display.xdotool("getwindowgeometry", "--shell", window)
        if int(dict(word.split("=") for word in shell).get("WIDTH", 800)) < 800:
            count += 1
    return count


def test_plays_and_quits(wine_game):
    game = wine_game()
    assert game.shows(lambda shot: scene.field(shot) or scene.title_drawn(shot)) == ""

    def at_left_limit():
        dismiss_prompt(game)
        return scene.paddle_x(game.display.shot()) == scene.FIELD[0]

    with game.held("Left"):
        assert harness.poll(at_left_limit, 20), "holding Left did not bring the paddle to x 100"

    def overlay():
        if scene.overlay_shown(game.display.shot()):
            return True
        dismiss_prompt(game)
        game.tap("F5")
        return harness.poll(lambda: scene.overlay_shown(game.display.shot()), 3)

    assert harness.poll(overlay, 20, interval=0), "F5 did not show the overlay"
    assert end_with_escape(game) == EXIT_LINE


def test_close_request_ends_in_order(wine_game, wine_env):
    game = wine_game()
    assert game.shows(scene.walls_drawn) == ""
    # What the window's close button or a shutdown sends the game.
    harness.wine(wine_env, "wine", "taskkill", "/im", "vantorel.exe", timeout=30)
    assert game.process.wait(30) == 0
    assert game.log() == EXIT_LINE


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


def test_display_taken_away_and_given_back(wine_game, wine_env):
    game = wine_game()
    assert game.shows(scene.walls_drawn) == ""
    # Another program in the foreground: Wine minimises the game's window and puts the
    # desktop's own mode back. Every Wine process is ended after the test.
    harness.wine(wine_env, "wine", "start", "winver", timeout=30)

    assert harness.poll(lambda: minimised_copies(game), 30), "the game was not minimised"
    # What a player's click on the task bar does: the window back, in the foreground. Its
    # helper fails when it finds no game window.
    harness.wine(wine_env, "wine", RESTORE_WINDOW, timeout=30)
    assert game.shows(lambda shot: scene.walls_drawn(shot) or scene.title_drawn(shot), 5) == ""
    assert end_with_escape(game) == EXIT_LINE


def test_escape_for_a_second_copy_leaves_the_first_running(wine_game, wine_env):
    first = wine_game()
    assert first.shows(scene.walls_drawn) == ""
    # The second takes the display; Wine minimises the first, which plays on unseen.
    second = wine_game()
    assert harness.poll(lambda: minimised_copies(first), 30), "the first was not minimised"
    assert second.shows(scene.walls_drawn) == ""

    def escape_ends_second():
        second.tap("Escape")
        return harness.poll(second.ended, 2)

    assert harness.poll(escape_ends_second, 20, interval=0), "Escape did not end the second"
    assert second.process.wait(30) == 0
    harness.wine(wine_env, "wine", RESTORE_WINDOW, timeout=30)
    assert first.shows(scene.walls_drawn, 10) == ""
    assert end_with_escape(first) == EXIT_LINE


def title_file(*changes):
    """FinalTitle.bmp with ImageMagick's changes, as a 24-bit file."""
    return subprocess.run(["convert", TITLE, *changes, "-type", "truecolor", "bmp3:-"],
                          check=True, stdout=subprocess.PIPE, timeout=20).stdout


def top_down_title():
    """FinalTitle.bmp with its height negated: rows from the top down."""
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
    assert ball_moves(game) == ""
    assert end_with_escape(game) == case.report + EXIT_LINE


def test_twenty_seconds_at_wines_own_frame_rate(wine_game):
    # Wine presents 300 to 500 frames a second, more than one for each of the ball's steps.
    game = wine_game()
    assert game.shows(scene.field) == ""

    def fault():
        if game.boxes():
            return "a box came"
        return scene.out_of_bounds(game.display.shot())

    # Return held answers every prompt at once, so play goes on for the whole time.
    with game.held("Return"):
        assert harness.poll(fault, 20, interval=0.02) is None
    assert end_with_escape(game) == EXIT_LINE
