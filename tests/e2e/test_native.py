"""The native game under Xvfb through SDL2, on both of its ways to the screen, each forced
through SDL's own hint: the accelerated renderer (OpenGL in software under Xvfb), and the
window's own surface, which the game takes by itself where OpenGL is only a rasteriser."""

import os
import signal

import pytest

import harness
import scene

GOLDEN = os.path.join(harness.ROOT, "tests", "frame", "golden", "first-frame.png")
NATIVE_EXIT_LINE = b"Game successfully returning...\n"
# The texture path may round a 5-6-5 channel differently from bit replication: off by one.
TOLERANCE = 2


# SDL's hint for each path, and how the host's present log names the path it took.
PATHS = {
    "renderer": ({"SDL_FRAMEBUFFER_ACCELERATION": "1"}, "path renderer"),
    "window-surface": ({"SDL_FRAMEBUFFER_ACCELERATION": "0"}, "path window surface"),
}


def path_taken(log):
    """The first line of the host's present log once it is written, else None."""
    def first_line():
        return log.exists() and log.read_text().partition("\n")[0]
    return harness.poll(first_line, 30) or None


@pytest.fixture(params=sorted(PATHS))
def game(request, display, native_game, tmp_path):
    """The game on one SDL path, drawing its field."""
    hint, running_path = PATHS[request.param]
    log = tmp_path / "presents.txt"
    running = native_game(env=dict(display.env(), VANTOREL_PRESENT_LOG=str(log), **hint))
    running.path_log = log
    running.expected_path = running_path
    running.display.xdotool("mousemove", "400", "300")
    shot = running.watch(lambda: paddle_shot(running.display), 30)
    assert shot is not None, f"no paddle on screen; exit {running.process.poll()}; " \
                             f"{running.errors()!r}"
    running.first_frame = shot
    return running


def paddle_shot(display, where=lambda x: True):
    """A screenshot whose player's paddle is on screen and passes the test, else None."""
    shot = display.shot()
    x = scene.paddle_x(shot, tolerance=TOLERANCE)
    return shot if x is not None and where(x) else None


def static_differences(shot, golden):
    """The first pixel of each row, outside the field, that differs from the golden frame by
    more than the tolerance."""
    left, top, right, bottom = scene.FIELD
    bad = []
    for y in range(shot.height):
        spans = [(0, shot.width)] if not top <= y < bottom else [(0, left), (right, shot.width)]
        for x0, x1 in spans:
            a, b = (y * shot.width + x0) * 3, (y * shot.width + x1) * 3
            if shot.pixels[a:b] == golden.pixels[a:b]:
                continue
            for i in range(a, b):
                if abs(shot.pixels[i] - golden.pixels[i]) > TOLERANCE:
                    bad.append(((i // 3) % shot.width, y))
                    break
    return bad


def field_colours(shot):
    """Green pixels on the paddles' rows and elsewhere in the field, and the first pixel that is
    neither green nor black."""
    left, top, right, bottom = scene.FIELD
    enemy = player = other = 0
    stray = None
    for y in range(top, bottom):
        for x in range(left, right):
            p = shot.at(x, y)
            if p == scene.BLACK:
                continue
            if scene.green(shot, x, y, TOLERANCE):
                if y in scene.ENEMY_ROWS:
                    enemy += 1
                elif y in scene.PLAYER_ROWS:
                    player += 1
                else:
                    other += 1
            elif stray is None:
                stray = (x, y, p)
    return enemy, player, other, stray


def test_the_path_asked_for_is_taken(game):
    assert path_taken(game.path_log).startswith(game.expected_path)


def test_without_a_gpu_the_window_surface_is_chosen(display, native_game, tmp_path):
    # Xvfb offers OpenGL only through Mesa's software rasteriser.
    log = tmp_path / "presents.txt"
    native_game(env=dict(display.env(), VANTOREL_PRESENT_LOG=str(log)))
    assert path_taken(log) == "path window surface"


def test_first_frame_is_the_golden_one_outside_the_field(game):
    golden = harness.read_image(GOLDEN)
    bad = static_differences(game.first_frame, golden)
    assert bad == [], f"{len(bad)} rows differ, first at {bad[:3]}"


def test_field_holds_paddles_and_ball_in_green_on_black(game):
    enemy, player, other, stray = field_colours(game.first_frame)
    # Each paddle is 40 x 5; the ball is 5 x 5 and may overlap a paddle's rows.
    assert enemy >= 200
    assert player >= 200
    assert enemy + player + other >= 425
    assert stray is None


def test_arrows_move_the_players_paddle(game):
    start = scene.paddle_x(game.first_frame, tolerance=TOLERANCE)
    moved = game.keys.press_until("Right", lambda: paddle_shot(game.display, lambda x: x > start))
    assert moved is not None, f"Right left the paddle at {start}"

    right = scene.paddle_x(moved, tolerance=TOLERANCE)
    moved = game.keys.press_until("Left", lambda: paddle_shot(game.display, lambda x: x < right))
    assert moved is not None, f"Left left the paddle at {right}"


def test_escape_ends_in_order(game):
    with game.keys.held("Escape"):
        code = game.wait(15)
    assert code == 0
    assert game.log() == NATIVE_EXIT_LINE


def test_close_request_ends_in_order(game):
    # SDL turns the signal into the same close request as the window's close button.
    game.process.send_signal(signal.SIGTERM)
    assert game.wait(15) == 0
    assert game.log() == NATIVE_EXIT_LINE


def test_without_any_display_start_up_fails_and_says_so(native_game):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
        env.pop(name, None)
    game = native_game(env=env)
    assert game.wait(30) == 1
    assert "vantorel: no display:" in game.errors()
    assert "vantorel: Error!: Window Creation Failed!" in game.errors()
    assert game.log() == b"Window Creation Failed!\n"
