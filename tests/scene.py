"""Pictures of the game's screen and what they should show: each check takes a Shot and gives
"" when the screen shows it, else what is wrong."""

import functools
import os
import re
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GOLDEN = os.path.join(ROOT, "tests", "frame", "golden", "first-frame.png")

# Colours as they reach the 24-bit screen: the game's 5-6-5 values widened to 8 bits.
BLACK = (0, 0, 0)
GREEN = (8, 251, 0)  # paddles and ball, 0x0FC0
GREY = (165, 162, 165)  # walls, 0xA514
WHITE = (255, 255, 255)  # score line and overlay
YELLOW = (255, 255, 0)  # prompts
# Per channel: either way of widening 5 or 6 bits to 8, and Wine's own rounding, passes.
TOLERANCE = 10

# The field inside the walls, [left, right) x [top, bottom), where the paddles and the ball move.
FIELD = (100, 145, 700, 560)
ENEMY_ROW = 152
PLAYER_ROW = 552
PADDLE_WIDTH = 40
# The title's top-left 700 x 120 is stretched into this rectangle, [left, right) x [top, bottom).
TITLE_AREA = (49, 1, 750, 122)


def near(pixel, colour, tolerance=TOLERANCE):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


class Shot:
    """A picture, from an 8-bit PPM."""

    def __init__(self, ppm):
        # The header ends in exactly one whitespace byte; the pixels may start with more.
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        self.ppm = ppm
        self.width = int(header[1])
        self.height = int(header[2])
        self.pixels = ppm[header.end() :]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])

    def count(self, colour, left, top, right, bottom, tolerance=TOLERANCE):
        return sum(near(self.at(x, y), colour, tolerance)
                   for y in range(top, bottom) for x in range(left, right))

    def page(self, left, top):
        """The 800 x 600 page whose top-left is at (left, top) here, black beyond the picture."""
        return Shot(subprocess.run(
            ["convert", "ppm:-", "-crop", f"800x600+{left}+{top}", "+repage", "-background",
             "black", "-extent", "800x600", "ppm:-"], input=self.ppm, stdout=subprocess.PIPE,
            check=True, timeout=20).stdout)

    def save(self, path):
        subprocess.run(["convert", "ppm:-", path], input=self.ppm, check=True, timeout=20)


def read_image(path, data=None):
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], input=data, check=True,
                         stdout=subprocess.PIPE, timeout=20).stdout
    return Shot(ppm)


@functools.cache
def golden_first_frame():
    return read_image(GOLDEN)


def golden_differences(shot, tolerance=0, leave_out=(0, 0, 0, 0)):
    """The first (x, y) of each row that differs from the golden first frame, outside leave_out."""
    golden = golden_first_frame()
    left, top, right, bottom = leave_out
    bad = []
    for y in range(shot.height):
        row = slice(y * shot.width * 3, (y + 1) * shot.width * 3)
        if shot.pixels[row] == golden.pixels[row]:
            continue
        differing = [x for x in range(shot.width)
                     if not (left <= x < right and top <= y < bottom)
                     and not near(shot.at(x, y), golden.at(x, y), tolerance)]
        if differing:
            bad.append((differing[0], y))
    return bad


def page_origin(shot):
    """Where the page's top-left is on the screen, found by the top wall's left end at (98, 143)
    on the page; None when no wall is seen."""
    for y in range(shot.height - 2):
        for x in range(shot.width - 604):
            if all(near(shot.at(x + dx, y + dy), GREY) for dx, dy in ((0, 0), (300, 1), (603, 0))):
                return x - 98, y - 143
    return None


def page_field(shot, framed=None):
    """The field on a page wherever it is; in a frame (framed), or at (0, 0) on the full screen
    (not framed). Without a window manager Wine draws no frame."""
    origin = page_origin(shot)
    if origin is None:
        return "no wall to find the page by"
    if framed is not None and (origin != (0, 0)) != framed:
        return f"the page is at {origin}"
    return field(shot.page(*origin))


def walls_drawn(shot):
    spots = [(x, y) for x in range(100, 700, 60) for y in (143, 144, 560, 561)]
    spots += [(x, y) for y in range(160, 560, 50) for x in (98, 99, 700, 701)]
    bad = [p for p in spots if not near(shot.at(*p), GREY)]
    if bad:
        return f"walls not grey at {bad[:3]}: {shot.at(*bad[0])}"
    return ""


def ball_position(shot):
    left, _, right, _ = FIELD
    ball = [(x, y) for y in range(156, 549) for x in range(left, right)
            if near(shot.at(x, y), GREEN)]
    if not ball:
        return None
    xs = [x for x, _ in ball]
    ys = [y for _, y in ball]
    if max(xs) - min(xs) >= 5 or max(ys) - min(ys) >= 5:
        return None
    return min(xs), min(ys)


def paddles_and_ball(shot):
    for name, row in (("player's", PLAYER_ROW), ("computer's", ENEMY_ROW)):
        run = [x for x in range(shot.width) if near(shot.at(x, row), GREEN)]
        if len(run) < PADDLE_WIDTH - 2 or run[-1] - run[0] + 1 != PADDLE_WIDTH:
            return f"the {name} paddle is not a 40-pixel run on row {row}: {run[:3]}..."
    if ball_position(shot) is None:
        return "no single ball of at most 5 x 5 in the field"
    return ""


def text_lines(shot):
    for name, left, right in (("Lives", 110, 170), ("Level", 180, 240), ("Score", 250, 330)):
        if shot.count(WHITE, left, 125, right, 142) < 30:
            return f"no white {name} text at ({left}, 125)"
    return ""


def field(shot):
    return walls_drawn(shot) or paddles_and_ball(shot) or text_lines(shot)


def no_title(shot):
    left, top, right, bottom = TITLE_AREA
    lit = (right - left) * (bottom - top) - shot.count(BLACK, left, top, right, bottom, 8)
    if lit:
        return f"title area not black: {lit} lit pixels"
    return ""


def title_drawn(shot):
    """The title as the golden first frame shows it. A spot passes when one of the golden pixels
    around it has its colour: that allows for where a stretch puts its seams."""
    golden = golden_first_frame()
    left, top, right, bottom = TITLE_AREA
    spots = [(x, y) for y in range(top + 1, bottom - 1, 6) for x in range(left + 2, right - 2, 9)]
    misses = [(x, y) for x, y in spots
              if not any(near(shot.at(x, y), golden.at(x + dx, y + dy))
                         for dx in (-1, 0, 1) for dy in (-1, 0, 1))]
    if len(misses) > len(spots) // 50:
        return f"title differs at {len(misses)} of {len(spots)} spots, first at {misses[0]}"
    return ""


def paddle_x(shot, row=PLAYER_ROW, length=PADDLE_WIDTH):
    """The left edge of the first green run of that length on the row, else None."""
    run = 0
    for x in range(shot.width):
        run = run + 1 if near(shot.at(x, row), GREEN) else 0
        if run == length:
            return x - length + 1
    return None


def overlay_shown(shot):
    return shot.count(WHITE, 0, 150, 98, 256) >= 200


def prompt_shown(shot):
    return shot.count(YELLOW, 360, 290, 460, 315) > 0


def out_of_bounds(shot):
    """The ball more than one step beyond a side wall, or the computer's paddle gone."""
    for left, right in ((0, FIELD[0] - 5), (FIELD[2] + 6, shot.width)):
        if shot.count(GREEN, left, 156, right, 549):
            return f"the ball beyond a side wall, between x {left} and {right}"
    # Following a ball at a wall, the paddle passes under the wall, which hides a few pixels.
    if paddle_x(shot, row=ENEMY_ROW, length=PADDLE_WIDTH - 10) is None:
        return "the computer's paddle is not on the page"
    return ""
