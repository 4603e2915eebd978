"""The native game under Xvfb through SDL2, on each way to the screen forced by SDL's hint: the
renderer (OpenGL in software under Xvfb), and the window's own surface."""

import os
import signal

import pytest

import harness
import scene

EXIT_LINE = b"Game successfully returning...\n"
# The texture path may round a 5-6-5 channel differently from bit replication: off by one.
TOLERANCE = 2

# The value of SDL's hint that forces each path, by the name the host's present log gives it.
ACCELERATION = {"renderer": "1", "window surface": "0"}


def path_taken(log):
    def first_line():
        return log.exists() and log.read_text().partition("\n")[0]

    return harness.poll(first_line, 30)


@pytest.fixture(params=sorted(ACCELERATION), ids=lambda path: path.replace(" ", "-"))
def path(request):
    return request.param


def paddle_where(display, where):
    x = scene.paddle_x(display.shot())
    return x is not None and where(x)


@pytest.fixture
def game(path, display, native_game, tmp_path):
    """The game on the path; the display's last screenshot shows its field drawn."""
    env = dict(display.env(), VANTOREL_PRESENT_LOG=str(tmp_path / "presents.txt"),
               SDL_FRAMEBUFFER_ACCELERATION=ACCELERATION[path])
    running = native_game(env)
    display.xdotool("mousemove", "400", "300")
    drawn = running.shows(lambda shot: scene.walls_drawn(shot) or scene.paddles_and_ball(shot))
    assert drawn == "", running.errors()
    return running


def test_the_path_asked_for_is_taken(game, path, tmp_path):
    assert path_taken(tmp_path / "presents.txt").startswith("path " + path)


def test_without_a_gpu_the_window_surface_is_chosen(display, native_game, tmp_path):
    # Xvfb offers OpenGL only through Mesa's software rasteriser.
    log = tmp_path / "presents.txt"
    native_game(dict(display.env(), VANTOREL_PRESENT_LOG=str(log)))
    assert path_taken(log) == "path window surface"


def test_with_sdls_vsync_off_the_game_still_plays_at_60(display, native_game, tmp_path):
    log = tmp_path / "presents.txt"
    native_game(dict(display.env(), VANTOREL_PRESENT_LOG=str(log), SDL_RENDER_VSYNC="0"))

    def presents():  # CLOCK_MONOTONIC ns of each page shown
        return log.exists() and [int(t) for t in log.read_text().splitlines() if t.isdigit()]

    times = harness.poll(lambda: len(presents() or []) > 150 and presents(), 30)
    assert times, "fewer than 150 pages in 30 s"
    assert 55 <= 120e9 / (times[-1] - times[-121]) <= 61


def test_outside_the_field_the_first_frame_is_the_golden_one(game, display):
    bad = scene.golden_differences(display.last_shot, TOLERANCE, leave_out=scene.FIELD)
    assert bad == [], f"{len(bad)} rows differ, first at {bad[:3]}"


def test_arrows_move_the_players_paddle(game, display):
    start = scene.paddle_x(display.last_shot)
    assert game.press_until("Right", lambda: paddle_where(display, lambda x: x > start))
    right = scene.paddle_x(display.last_shot)
    assert game.press_until("Left", lambda: paddle_where(display, lambda x: x < right))


def test_escape_ends_in_order(game):
    with game.held("Escape"):
        assert game.process.wait(15) == 0
    assert game.log() == EXIT_LINE


def test_close_request_ends_in_order(game):
    # SDL turns the signal into the same close request as the window's close button.
    game.process.send_signal(signal.SIGTERM)
    assert game.process.wait(15) == 0
    assert game.log() == EXIT_LINE


def test_without_any_display_start_up_fails_and_says_so(native_game):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
        env.pop(name, None)
    game = native_game(env)
    assert game.process.wait(30) == 1
    assert "vantorel: no display:" in game.errors()
    assert "vantorel: Error!: Window Creation Failed!" in game.errors()
    assert game.log() == b"Window Creation Failed!\n"
