"""The game in a page, end to end in headless Chromium: what it draws, the keys it takes from
the page, its message boxes, its log, how a run ends, and the browser's frames driving it."""
import os

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import scene
from harness import poll

PADDLE_STEP = 5  # pixels a frame while an arrow is held
EXIT_LINE = b"Game successfully returning...\r\n"

# Records, in the bubbling phase after the page has had its say, whether the page kept each
# key's default action (scrolling, reloading) from the browser.
RECORD_DEFAULTS = """
window.prevented = {};
window.addEventListener('keydown', (e) => { prevented[e.code] = e.defaultPrevented; });
"""


def end_with_escape(game):
    with game.holding(Keys.ESCAPE):
        game.step()
    game.wait("return vantorel.state === 'ended'")


def test_the_first_frame_is_the_golden_one(page):
    game = page()
    game.wait("return vantorel.frames === 1")
    bad = scene.golden_differences(game.shot())
    assert bad == [], f"{len(bad)} rows differ, first at {bad[:3]}"


def test_the_arrows_move_the_paddle_and_not_the_page(page):
    game = page()
    game.step()
    game.js(RECORD_DEFAULTS)
    start = scene.paddle_x(game.shot())
    with game.holding(Keys.ARROW_RIGHT):
        game.step(3)
    right = scene.paddle_x(game.shot())
    with game.holding(Keys.ARROW_LEFT):
        game.step(2)
    assert right == start + 3 * PADDLE_STEP
    assert scene.paddle_x(game.shot()) == right - 2 * PADDLE_STEP
    assert game.js("return prevented") == {"ArrowRight": True, "ArrowLeft": True}


def test_f5_shows_the_overlay_and_keeps_the_page(page, browser):
    game = page()
    game.step()
    game.js(RECORD_DEFAULTS + "window.sameDocument = true;")
    assert not scene.overlay_shown(game.shot())
    with game.holding(Keys.F5):
        game.step()
    game.step()
    assert scene.overlay_shown(game.shot())
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
    assert game.shown("ended-panel")
    assert "exit code 0" in game.text("ended-text")
    assert game.log() == EXIT_LINE
    browser.find_element(By.ID, "log").click()
    saved = downloads / "Log.txt"
    assert poll(saved.exists, 10), "the log link downloaded nothing"
    assert poll(lambda: saved.read_bytes() == EXIT_LINE, 10), saved.read_bytes()
    console = [entry["message"] for entry in browser.get_log("browser")]
    assert any('"Log.txt: Game successfully returning..."' in line for line in console), console


def test_play_again_starts_a_fresh_run(page, browser):
    game = page()
    game.step()
    end_with_escape(game)
    frames = game.frames()
    browser.find_element(By.ID, "again").click()
    game.wait(f"return vantorel.state === 'running' && vantorel.frames === {frames + 1}")
    assert not game.shown("ended-panel")
    # The new run emptied the log, as every start of the game does.
    assert game.log() == b""


def test_without_a_title_the_box_waits_for_return_and_the_game_plays(page, browser):
    browser.execute_cdp_cmd("Network.enable", {})
    browser.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["*/FinalTitle.bmp"]})
    game = page()
    game.wait("return !document.getElementById('box-panel').hidden")
    assert game.text("box-caption") == "ERROR"
    assert game.text("box-text") == "Could not open FinalTitle.bmp"
    assert game.frames() == 0
    with game.holding(Keys.RETURN):
        pass
    game.wait("return vantorel.frames === 1")
    assert not game.shown("box-panel")
    assert scene.no_title(game.shot()) == ""
    game.step(3)
    assert game.frames() == 4
    assert game.log() == b"Could not open FinalTitle.bmp\r\n"


def test_a_failed_start_shows_its_box_then_ends_with_code_1(page):
    game = page(before="HTMLCanvasElement.prototype.getContext = () => null;")
    game.wait("return !document.getElementById('box-panel').hidden")
    assert game.text("box-caption") == "Error!"
    assert game.text("box-text") == "Window Creation Failed!"
    game.js("document.getElementById('box-ok').click()")
    game.wait("return vantorel.state === 'ended'")
    assert "exit code 1" in game.text("ended-text")
    assert game.log() == b"Window Creation Failed!\r\n"


def test_a_hidden_tab_stops_the_frames_until_it_is_shown(page, browser):
    game = page(held=False)
    game.wait("return vantorel.frames > 0")
    game.js("window.seen = [];"
            "document.addEventListener('visibilitychange',"
            " () => seen.push({state: document.visibilityState, frames: vantorel.frames}));")
    tab = browser.current_window_handle
    browser.switch_to.new_window("tab")
    # The tab in front counts its own frames: the display went on refreshing meanwhile.
    browser.execute_script("window.n = 0; (function f() { ++n; requestAnimationFrame(f); })();")
    assert poll(lambda: browser.execute_script("return n") >= 30, 10)
    browser.switch_to.window(tab)
    hidden, shown = game.wait("return seen.length === 2 && seen")
    assert hidden["state"] == "hidden"
    assert shown["state"] == "visible"
    # No frame while the tab was hidden.
    assert shown["frames"] == hidden["frames"]
    game.wait(f"return vantorel.frames > {shown['frames']}")
