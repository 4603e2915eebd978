"""What the game's screen shows, read from a screenshot: the walls, the paddles and the ball,
the title, the text lines, the overlay and the prompts.

Each check takes a Shot and gives "" when the screen shows it, else what is wrong.
"""

import struct

from harness import near

# Colours as they reach the 24-bit screen: the game's 5-6-5 values widened to 8 bits.
BLACK = (0, 0, 0)
GREEN = (8, 251, 0)  # paddles and ball, 0x0FC0
GREY = (165, 162, 165)  # walls, 0xA514
WHITE = (255, 255, 255)  # score line and overlay
HELP_GREY = (206, 206, 206)  # help line, 0x00CCCCCC
YELLOW = (255, 255, 0)  # prompts
# Per channel: either way of widening 5 or 6 bits to 8, and Wine's own rounding, passes.
TOLERANCE = 10

# The field inside the walls, [left, right) x [top, bottom), where the paddles and the ball move.
FIELD = (100, 145, 700, 560)
ENEMY_ROWS = range(150, 155)
PLAYER_ROWS = range(550, 555)
PLAYER_ROW = 552
PADDLE_WIDTH = 40
# The title's top-left 700 x 120 is stretched into this rectangle, [left, right) x [top, bottom).
TITLE_AREA = (49, 1, 750, 122)
TITLE_SOURCE = (700, 120)


def green(shot, x, y, tolerance=TOLERANCE):
    return near(shot.at(x, y), GREEN, tolerance)


def walls_drawn(shot):
    spots = [(x, y) for x in range(100, 700, 60) for y in (143, 144, 560, 561)]
    spots += [(x, y) for y in range(160, 560, 50) for x in (98, 99, 700, 701)]
    bad = [p for p in spots if not near(shot.at(*p), GREY, TOLERANCE)]
    return "" if not bad else f"walls not grey at {bad[:3]}: {shot.at(*bad[0])}"


def ball_position(shot):
    """The top-left of the one ball of at most 5 x 5 between the paddles' rows, else None."""
    left, _, right, _ = FIELD
    ball = [(x, y) for y in range(156, 549) for x in range(left, right) if green(shot, x, y)]
    if not ball:
        return None
    xs, ys = [p[0] for p in ball], [p[1] for p in ball]
    if max(xs) - min(xs) >= 5 or max(ys) - min(ys) >= 5:
        return None
    return min(xs), min(ys)


def paddles_and_ball(shot):
    row = [x for x in range(shot.width) if green(shot, x, PLAYER_ROW)]
    if len(row) < PADDLE_WIDTH - 2 or row[-1] - row[0] + 1 != PADDLE_WIDTH:
        return f"player's paddle not a 40-pixel run on row {PLAYER_ROW}: {row[:3]}..."
    top = [x for x in range(shot.width) if green(shot, x, 152)]
    if len(top) < PADDLE_WIDTH - 2 or top[-1] - top[0] + 1 != PADDLE_WIDTH:
        return f"computer's paddle not a 40-pixel run on row 152: {top[:3]}..."
    if ball_position(shot) is None:
        return "no single ball of at most 5 x 5 in the field"
    return ""


def text_lines(shot):
    for name, left, right in (("Lives", 110, 170), ("Level", 180, 240), ("Score", 250, 330)):
        if shot.count(WHITE, left, 125, right, 142, TOLERANCE) < 30:
            return f"no white {name} text at ({left}, 125)"
    if shot.count(HELP_GREY, 165, 570, 740, 588, 12) < 300:
        return "no light grey help line at (165, 570)"
    return ""


def field(shot):
    """Walls, paddles, ball and text, all as they should be."""
    return walls_drawn(shot) or paddles_and_ball(shot) or text_lines(shot)


def no_title(shot):
    left, top, right, bottom = TITLE_AREA
    lit = (right - left) * (bottom - top) - shot.count(BLACK, left, top, right, bottom, 8)
    return "" if lit == 0 else f"title area not black: {lit} lit pixels"


class Bitmap:
    """A 24-bit title file's pixels as the game reads them: bottom-up rows from offset 54."""

    def __init__(self, data):
        self.width, self.height = struct.unpack_from("<ii", data, 18)
        self.data = data

    def at(self, x, y):
        """The pixel at (x, y) from the top-left, through 5-6-5 and back by bit replication."""
        i = 54 + ((self.height - 1 - y) * self.width + x) * 3
        b, g, r = self.data[i : i + 3]
        r5, g6, b5 = r >> 3, g >> 2, b >> 3
        return (r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2)


def title_drawn(bitmap):
    """A check that the bitmap's top-left 700 x 120 fills the title area."""
    left, top, right, bottom = TITLE_AREA
    source_width, source_height = TITLE_SOURCE

    def check(shot):
        # A spot passes when one of the image pixels around the one it maps to has its colour:
        # that allows for where the stretch puts its seams.
        spots = [(x, y) for y in range(top + 1, bottom - 1, 6)
                 for x in range(left + 2, right - 2, 9)]
        misses = 0
        for x, y in spots:
            sx = (x - left) * source_width // (right - left)
            sy = (y - top) * source_height // (bottom - top)
            around = [
                bitmap.at(min(max(sx + dx, 0), source_width - 1),
                          min(max(sy + dy, 0), source_height - 1))
                for dx in (-1, 0, 1)
                for dy in (-1, 0, 1)
            ]
            misses += not any(near(shot.at(x, y), c, TOLERANCE) for c in around)
        return "" if misses <= len(spots) // 50 else f"title differs at {misses} of {len(spots)}"

    return check


def player_at_left_limit(shot):
    return green(shot, 100, PLAYER_ROW) and green(shot, 139, PLAYER_ROW) and not green(
        shot, 140, PLAYER_ROW)


def overlay_shown(shot):
    return shot.count(WHITE, 0, 150, 98, 256, TOLERANCE) >= 200


def prompt_shown(shot):
    return shot.count(YELLOW, 360, 290, 460, 315, TOLERANCE) > 0


def paddle_x(shot, *, row=PLAYER_ROW, tolerance=TOLERANCE, length=PADDLE_WIDTH):
    """The left edge of the longest green run on the row, when it is at least that long (the
    ball may share the row), else None."""
    best, best_x, run, start = 0, None, 0, 0
    for x in range(shot.width):
        if green(shot, x, row, tolerance):
            if run == 0:
                start = x
            run += 1
            if run > best:
                best, best_x = run, start
        else:
            run = 0
    return best_x if best >= length else None


def out_of_bounds(shot):
    """What the rules never let the screen show: the ball more than one step (5 pixels) beyond
    a side wall's inner edge, or the computer's paddle gone from the page; else ""."""
    for left, right in ((0, FIELD[0] - 5), (FIELD[2] + 6, shot.width)):
        beyond = shot.find(GREEN, left, 156, right, 549, TOLERANCE)
        if beyond:
            return f"the ball beyond a side wall at {beyond}"
    # Following a ball at a wall, the paddle passes under the wall, which hides a few pixels.
    if paddle_x(shot, row=152, length=PADDLE_WIDTH - 10) is None:
        return "the computer's paddle is not on the page"
    return ""
