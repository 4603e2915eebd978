"""The game in a page, end to end in headless Chromium: what it draws, the keys it takes from
the page, its message boxes, its log, how a run ends, and the browser's frames driving it."""
import os
import struct

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser_page import ROOT, wait_for

GOLDEN = os.path.join(ROOT, "tests", "frame", "golden", "first-frame.rgb565")
W, H = 800, 600
PLAYER_ROW = 552
PADDLE_STEP = 5  # pixels a frame while an arrow is held
GREEN = (8, 251, 0)
WHITE = (255, 255, 255)
EXIT_LINE = b"Game successfully returning...\r\n"

# Records, in the bubbling phase after the page has had its say, whether the page kept each
# key's default action (scrolling, reloading) from the browser.
RECORD_DEFAULTS = """
window.prevented = {};
window.addEventListener('keydown', (e) => { prevented[e.code] = e.defaultPrevented; });
"""


def expand_565(raw):
    """Little-endian 5-6-5 pixels as R, G, B bytes, each channel widened by its top bits."""
    out = bytearray()
    for (p,) in struct.iter_unpack("<H", raw):
        r, g, b = p >> 11, (p >> 5) & 0x3F, p & 0x1F
        out += bytes((r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2))
    return bytes(out)


def paddle_x(game):
    """Left edge of the longest green run in the player's row (the ball may share the row)."""
    row = game.rgb(0, PLAYER_ROW, W, 1)
    best, best_x, run = 0, None, 0
    for x in range(W):
        run = run + 1 if tuple(row[3 * x:3 * x + 3]) == GREEN else 0
        if run > best:
            best, best_x = run, x - run + 1
    return best_x


def has_colour(rgb, colour):
    return any(tuple(rgb[i:i + 3]) == colour for i in range(0, len(rgb), 3))


def end_with_escape(game):
    with game.holding(Keys.ESCAPE):
        game.step()
    game.wait("return vantorel.state === 'ended'")


def test_the_first_frame_is_the_golden_one(page):
    game = page()
    game.wait("return vantorel.frames === 1")
    shot = game.rgb(0, 0, W, H)
    with open(GOLDEN, "rb") as f:
        golden = expand_565(f.read())
    at = next((i // 3 for i in range(0, len(golden), 3) if shot[i:i + 3] != golden[i:i + 3]), None)
    assert at is None, f"({at % W}, {at // W}) differs from the golden first frame"


def test_the_arrows_move_the_paddle_and_not_the_page(page):
    game = page()
    game.step()
    game.js(RECORD_DEFAULTS)
    start = paddle_x(game)
    with game.holding(Keys.ARROW_RIGHT):
        game.step(3)
    right = paddle_x(game)
    with game.holding(Keys.ARROW_LEFT):
        game.step(2)
    assert right == start + 3 * PADDLE_STEP
    assert paddle_x(game) == right - 2 * PADDLE_STEP
    assert game.js("return prevented") == {"ArrowRight": True, "ArrowLeft": True}


def test_f5_shows_the_overlay_and_keeps_the_page(page, browser):
    game = page()
    game.step()
    game.js(RECORD_DEFAULTS + "window.sameDocument = true;")
    overlay = (0, 150, 100, 105)  # left of the field, where the overlay's lines go
    assert not has_colour(game.rgb(*overlay), WHITE)
    with game.holding(Keys.F5):
        game.step()
    game.step()
    assert has_colour(game.rgb(*overlay), WHITE)
    assert game.js("return window.sameDocument === true")
    assert game.js("return prevented") == {"F5": True}
    if os.environ.get("VANTOREL_WEB_SCREENSHOT"):
        game.step(70)  # a second of frames, for the overlay's frame rate
        browser.save_screenshot(os.environ["VANTOREL_WEB_SCREENSHOT"])


def test_escape_ends_the_game_and_leaves_the_log(page, browser, tmp_path):
    downloads = tmp_path / "downloads"
    browser.execute_cdp_cmd("Browser.setDownloadBehavior",
                            {"behavior": "allow", "downloadPath": str(downloads)})
    game = page()
    game.step()
    end_with_escape(game)
    assert game.status()["exitCode"] == 0
    assert game.shown("ended-panel")
    assert "exit code 0" in game.text("ended-text")
    assert game.log() == EXIT_LINE
    browser.find_element(By.ID, "log").click()
    saved = downloads / "Log.txt"
    assert wait_for(saved.exists), "the log link downloaded nothing"
    assert wait_for(lambda: saved.read_bytes() == EXIT_LINE), saved.read_bytes()
    console = [entry["message"] for entry in browser.get_log("browser")]
    assert any('"Log.txt: Game successfully returning..."' in line for line in console), console


def test_play_again_starts_a_fresh_run(page, browser):
    game = page()
    game.step()
    end_with_escape(game)
    frames = game.status()["frames"]
    browser.find_element(By.ID, "again").click()
    game.wait(f"return vantorel.state === 'running' && vantorel.frames === {frames + 1}")
    assert not game.shown("ended-panel")
    # The new run emptied the log, as every start of the game does.
    assert game.log() == b""


def test_without_a_title_the_box_waits_for_return_and_the_game_plays(page, site):
    game = page(site(without=["FinalTitle.bmp"]))
    game.wait("return !document.getElementById('box-panel').hidden")
    assert (game.text("box-caption"), game.text("box-text")) == \
        ("ERROR", "Could not open FinalTitle.bmp")
    assert game.status()["frames"] == 0
    with game.holding(Keys.RETURN):
        pass
    game.wait("return vantorel.frames === 1")
    assert not game.shown("box-panel")
    assert not any(game.rgb(0, 0, W, 120)), "the title's place is not black"
    game.step(3)
    assert game.status()["frames"] == 4
    assert game.log() == b"Could not open FinalTitle.bmp\r\n"


def test_a_failed_start_shows_its_box_then_ends_with_code_1(page):
    game = page(before="HTMLCanvasElement.prototype.getContext = () => null;")
    game.wait("return !document.getElementById('box-panel').hidden")
    assert (game.text("box-caption"), game.text("box-text")) == \
        ("Error!", "Window Creation Failed!")
    game.js("document.getElementById('box-ok').click()")
    game.wait("return vantorel.state === 'ended'")
    assert game.status()["exitCode"] == 1
    assert "exit code 1" in game.text("ended-text")
    assert game.log() == b"Window Creation Failed!\r\n"


def test_a_hidden_tab_stops_the_frames_until_it_is_shown(page, browser):
    game = page(held=False)
    game.wait("return vantorel.frames > 0")
    game.js("window.seen = [];"
            "document.addEventListener('visibilitychange',"
            " () => seen.push([document.visibilityState, vantorel.frames]));")
    tab = browser.current_window_handle
    browser.switch_to.new_window("tab")
    # The tab in front counts its own frames: the display went on refreshing meanwhile.
    browser.execute_script("window.n = 0; (function f() { ++n; requestAnimationFrame(f); })();")
    assert wait_for(lambda: browser.execute_script("return n") >= 30)
    browser.switch_to.window(tab)
    (hidden, at_hide), (shown, at_show) = game.wait("return seen.length === 2 && seen")
    assert (hidden, shown) == ("hidden", "visible")
    assert at_show == at_hide
    game.wait(f"return vantorel.frames > {at_show}")
