"""vantorel.exe under Wine in Xvfb, in a prefix with an 800 x 600 virtual desktop, looked at
the way a player would: the field, the paddles, the ball, the title and the text lines."""

import os
import subprocess

import harness
import scene

EXIT_LINE = b"Game successfully returning...\r\n"
TITLE = os.path.join(harness.WINDOWS_BIN, "FinalTitle.bmp")


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


def test_log_that_cannot_be_opened_is_reported_and_play_goes_on(wine_game):
    game = wine_game(prepare=lambda folder: os.mkdir(os.path.join(folder, "Log.txt")))
    dismiss_box(game, "at start-up")
    assert wait_for_screen(game, scene.field) == ""
    # Escape, held until the box for the exit line opens: the box sees no press of it.
    game.keys.press_until("Escape", lambda: game.boxes() or game.process.poll() is not None)
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
