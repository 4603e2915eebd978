"""vantorel.exe under Wine in Xvfb, in a prefix with an 800 x 600 virtual desktop, looked at
the way a player would: the field, the paddles, the ball, the title and the text lines. Besides
the ordinary runs, the situations a player meets in the real world: another program taking the
display and giving it back, title files the display cannot use, and Wine's own frame rate,
far above any display's refresh."""

import os
import random
import struct
import subprocess
from dataclasses import dataclass

import pytest

import harness
import scene

EXIT_LINE = b"Game successfully returning...\r\n"
TITLE = os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp")
RESTORE_WINDOW = os.path.join(harness.WINDOWS_BIN, "restore_window.exe")


def wait_for_screen(game, check, timeout=30):
    """Screenshots until the check passes; "" then, else what was wrong the last time. Gives up
    at once when the game ends or shows a box, which no check here expects."""
    last = ["the screen was never looked at"]

    def settled():
        if game.process.poll() is not None:
            last[0] = f"the game ended with exit code {game.process.poll()}"
            return True
        if game.boxes():
            last[0] = "a box is open"
            return True
        last[0] = check(game.display.shot())
        return not last[0]

    harness.poll(settled, timeout, interval=0.2)
    return last[0]


def minimised(game):
    size = game.display.window_size("^Vantorel$")
    return size is not None and size < (800, 600)


def dismiss_prompt(game):
    if scene.prompt_shown(game.display.last_shot):
        game.keys.tap("Return")


def dismiss_box(game, when):
    assert game.watch(game.boxes, 30), f"no box {when}; exit code {game.process.poll()}"
    closed = game.keys.press_until("Return", lambda: not game.boxes())
    assert closed, f"Return left the box {when} open"


def escape_ends(game):
    game.keys.press_until("Escape", lambda: game.process.poll() is not None)
    assert game.wait(30) == 0


def watch_play(game, distance, timeout=60):
    """Watches the game play, answering its prompts, until the ball has travelled the distance
    (pixels, summed between sightings): "", or what went wrong first."""
    seen = {"travelled": 0, "ball": None, "problem": ""}

    def enough():
        if game.boxes():
            seen["problem"] = f"a box came after the ball travelled {seen['travelled']} pixels"
            return True
        shot = game.display.shot()
        dismiss_prompt(game)
        ball = scene.ball_position(shot)
        if ball and seen["ball"]:
            seen["travelled"] += abs(ball[0] - seen["ball"][0]) + abs(ball[1] - seen["ball"][1])
        seen["ball"] = ball or seen["ball"]
        return seen["travelled"] >= distance

    if not harness.poll(enough, timeout, interval=0.05):
        return f"the ball travelled only {seen['travelled']} pixels in {timeout} s"
    return seen["problem"]


def test_plays_and_quits(wine_game):
    game = wine_game()
    assert wait_for_screen(game, scene.walls_drawn) == ""
    assert wait_for_screen(game, scene.field, timeout=10) == ""
    with open(TITLE, "rb") as f:
        assert scene.title_drawn(scene.Bitmap(f.read()))(game.display.last_shot) == ""

    def at_left_limit():
        dismiss_prompt(game)
        return scene.player_at_left_limit(game.display.shot())

    with game.keys.held("Left"):
        assert harness.poll(at_left_limit, 20), "holding Left did not bring the paddle to x 100"

    def overlay():
        if scene.overlay_shown(game.display.shot()):
            return True
        dismiss_prompt(game)
        game.keys.tap("F5")
        return harness.poll(lambda: scene.overlay_shown(game.display.shot()), 3)

    assert harness.poll(overlay, 20, interval=0), "F5 did not show the overlay"

    escape_ends(game)
    assert game.log() == EXIT_LINE


def test_close_request_ends_in_order(wine_game, wine_env):
    game = wine_game()
    assert wait_for_screen(game, scene.walls_drawn) == ""
    subprocess.run(["wine", "taskkill", "/im", "vantorel.exe"], env=wine_env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
    assert game.wait(30) == 0
    assert game.log() == EXIT_LINE


def test_log_that_cannot_be_opened_is_reported_and_play_goes_on(wine_game, wine_env):
    game = wine_game(prepare=lambda folder: os.mkdir(os.path.join(folder, "Log.txt")))
    dismiss_box(game, "at start-up")
    assert wait_for_screen(game, scene.field) == ""
    # Not Escape: the game sees the key through GetAsyncKeyState while its key-down message
    # may still wait in the queue, and the box for the exit line would take it and close.
    subprocess.run(["wine", "taskkill", "/im", "vantorel.exe"], env=wine_env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
    dismiss_box(game, "for the exit line")
    assert game.wait(30) == 0
    assert os.path.isdir(os.path.join(game.folder, "Log.txt"))


def test_without_title_image_one_report_then_play(wine_game):
    game = wine_game(title=None)
    dismiss_box(game, "for the missing title")
    assert wait_for_screen(game, lambda s: scene.field(s) or scene.no_title(s)) == ""
    assert watch_play(game, distance=3000) == ""
    escape_ends(game)
    report, exit_line = game.log().split(b"\r\n", 1)
    assert b"FinalTitle.bmp" in report
    assert exit_line == EXIT_LINE


@pytest.fixture
def about_wine(wine_env):
    """start() -> Wine's About box (winver), another program that takes the foreground; ended
    after the test."""
    started = []

    def start():
        started.append(subprocess.Popen(["wine", "winver"], env=wine_env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    yield start
    for process in started:
        process.kill()
        process.wait()


def test_display_taken_away_and_given_back(wine_game, wine_env, about_wine):
    game = wine_game()
    assert wait_for_screen(game, scene.walls_drawn) == ""
    # Wine minimises the game's window and puts the desktop's own mode back.
    about_wine()
    assert harness.poll(lambda: minimised(game), 30), "the game's window was not minimised"

    # What a player's click on the task bar does: the window back, in the foreground.
    restored = subprocess.run(["wine", RESTORE_WINDOW], env=wine_env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=30)
    assert restored.returncode == 0, "restore_window.exe found no game window"

    with open(TITLE, "rb") as f:
        title = scene.title_drawn(scene.Bitmap(f.read()))
    assert wait_for_screen(game, lambda s: scene.walls_drawn(s) or title(s), timeout=5) == ""
    escape_ends(game)
    assert game.log() == EXIT_LINE


def bitmap_file(width, height, colour_at):
    """A 24-bit file; a negative height makes it top-down. colour_at(x, y) counts from the
    top-left and gives (red, green, blue)."""
    rows = []
    for y in range(abs(height)):
        row = b"".join(bytes(reversed(colour_at(x, y))) for x in range(abs(width)))
        rows.append(row + bytes(-len(row) % 4))
    if height > 0:
        rows.reverse()
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def blocks(x, y):
    """Blocks of colours a 5-6-5 display keeps, each unlike its neighbours."""
    bx, by = x // 35, y // 12
    red = (bx * 40 + by * 16) % 256 & 0xF8
    green = (by * 52 + bx * 12) % 256 & 0xFC
    blue = (bx * by * 24) % 256 & 0xF8
    return red, green, blue


# Outside the 700 x 120 the game shows: a colour that must never reach the screen.
MAGENTA = (255, 0, 255)


def large_title(x, y):
    return blocks(x, y) if x < 700 and y < 120 else MAGENTA


def play_after_refusal(game):
    """Dismisses the one box at start-up, watches play go on without a title and without
    another box, ends the game with Escape and gives its log."""
    dismiss_box(game, "at start-up")
    assert wait_for_screen(game, lambda s: scene.field(s) or scene.no_title(s)) == ""
    assert watch_play(game, distance=3000) == ""
    escape_ends(game)
    return game.log()


@dataclass
class Sizeless:
    name: str
    data: bytes


# Seed 6: the header's width and height both come out negative.
RANDOM_BYTES = random.Random(6).randbytes(5000)

# Files whose header gives no size a surface can have: refused as a refusing driver would.
SIZELESS_TITLES = [
    # A top-down file: its height is negative.
    Sizeless("top-down", bitmap_file(700, -120, blocks)),
    # Random bytes: the header's sides are whatever the bytes say.
    Sizeless("random-bytes", RANDOM_BYTES),
]


@pytest.mark.parametrize("case", SIZELESS_TITLES, ids=lambda case: case.name)
def test_title_file_without_a_usable_size_is_refused_once(wine_game, case):
    game = wine_game(title=case.data)
    assert play_after_refusal(game) == b"NewSurface Failed\r\n" + EXIT_LINE


def test_title_file_smaller_than_the_title_is_refused_once(wine_game):
    game = wine_game(title=bitmap_file(64, 32, blocks))
    log = play_after_refusal(game)
    assert log.endswith(EXIT_LINE)
    report = log[: -len(EXIT_LINE)]
    # The report names the file and the size it needs.
    assert b"FinalTitle.bmp" in report
    assert b"700" in report
    assert b"120" in report
    # Its text has a line feed of its own, which the log stores as CR LF, like every other.
    assert report.count(b"\r\n") >= 2
    assert log.count(b"\n") == log.count(b"\r\n"), "a line feed without its carriage return"


def test_larger_title_shows_its_top_left(wine_game):
    data = bitmap_file(1024, 240, large_title)
    title = scene.title_drawn(scene.Bitmap(data))
    game = wine_game(title=data)
    assert wait_for_screen(game, lambda s: scene.field(s) or title(s)) == ""
    assert game.display.last_shot.count(MAGENTA, *scene.TITLE_AREA, scene.TOLERANCE) == 0
    assert watch_play(game, distance=3000) == ""
    escape_ends(game)
    assert game.log() == EXIT_LINE


def test_twenty_seconds_at_wines_own_frame_rate(wine_game):
    # Wine presents 300 to 500 frames a second, more than one for each of the ball's steps.
    game = wine_game()
    assert wait_for_screen(game, scene.field) == ""

    def fault():
        if game.boxes():
            return "a box came"
        return scene.out_of_bounds(game.display.shot())

    # Return held answers every prompt at once, so play goes on for the whole time.
    with game.keys.held("Return"):
        seen = harness.poll(fault, 20, interval=0.02)
    assert not seen
    escape_ends(game)
    assert game.log() == EXIT_LINE
