"""The game's page in headless Chromium, driven by keys, fingers and pads."""
import os

from selenium.webdriver.common.keys import Keys

import scene
from chromium import FAST_FRAMES
from harness import poll

PADDLE_STEP = 5  # pixels a frame while an arrow is held
# A pad's buttons in the standard layout.
PAD_A = 0
PAD_Y = 3
PAD_BACK = 8
PAD_START = 9
PAD_LEFT = 14
PAD_RIGHT = 15


# Clicks the page's "Log.txt" link without leaving the page, and reads what it hands out:
# [download name, type, text, its address, whether the address of the last click still reads].
CLICK_THE_LOG_LINK = """
const link = document.getElementById('log');
link.addEventListener('click', (event) => event.preventDefault(), {once: true});
link.click();
const last = arguments[0] && fetch(arguments[0]).then(() => 'kept', () => 'revoked');
return Promise.all([fetch(link.href).then((r) => r.blob()), last]).then(([blob, old]) =>
  blob.text().then((text) => [link.download, blob.type, text, link.href, old]));
"""


def press_on_the_pad(game, button):
    game.pad(button)
    game.step()
    game.pad()


def check_the_buttons(game, screenshot, button_edge, canvas_edge):
    # Clear of the picture; the page as it looks is kept as build/<screenshot>.
    screen = game.rect("screen")
    for button in ("Enter", "F5", "Escape"):
        assert game.rect(button)[button_edge] >= screen[canvas_edge], button
    game.driver.save_screenshot(os.path.join(scene.ROOT, "build", screenshot))


def test_the_first_frame_is_the_golden_one_and_no_buttons_without_touch(page):
    game = page()
    game.wait("return vantorel.frames === 1")
    bad = scene.golden_differences(game.shot())
    assert bad == [], f"{len(bad)} rows differ, first at {bad[:3]}"
    assert game.rect("keys")["height"] == 0


def test_without_a_title_the_box_waits_for_return_and_the_game_plays(page, browser):
    browser.execute_cdp_cmd("Network.enable", {})
    browser.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["*/FinalTitle.bmp"]})
    game = page()
    game.wait("return !document.getElementById('box-panel').hidden")
    assert game.text("box-text") == "Could not open FinalTitle.bmp"
    assert game.text("box-caption") == "ERROR"
    assert game.js("return document.querySelector('#box-panel .box.error') !== null")
    assert game.js("return vantorel.frames") == 0
    game.key(Keys.RETURN, frames=0)
    game.wait("return vantorel.frames === 1")
    assert scene.no_title(game.shot()) == ""
    assert game.log() == b"Could not open FinalTitle.bmp\r\n"
    # The "Log.txt" link hands out the log as it is at each click, and lets the last copy go.
    first = game.js(CLICK_THE_LOG_LINK, None)
    assert first[:3] == ["Log.txt", "text/plain", "Could not open FinalTitle.bmp\r\n"]
    assert game.js(CLICK_THE_LOG_LINK, first[3])[4] == "revoked"


def test_a_failed_start_shows_its_box_until_a_on_a_pad_then_ends_with_code_1(page):
    game = page(before="HTMLCanvasElement.prototype.getContext = () => null;")
    game.wait("return !document.getElementById('box-panel').hidden")
    assert game.text("box-text") == "Window Creation Failed!"
    press_on_the_pad(game, PAD_A)
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
    # At most the frame under way, which may have been waiting for its turn to be shown.
    assert hidden["frames"] <= shown["frames"] <= hidden["frames"] + 1
    game.wait(f"return vantorel.frames > {shown['frames']}")


def test_animation_frames_faster_than_60_hz_still_play_at_60(page):
    game = page(held=False, before=FAST_FRAMES)
    game.wait("return shown.length > 150", timeout=30)
    rate = game.js("const t = shown.slice(-121); return 120000 / (t[120] - t[0])")
    assert 55 <= rate <= 61


def test_keys_do_nothing_while_the_page_is_hidden(page):
    game = page(before="Object.defineProperty(document, 'visibilityState', {get: () => 'hidden'})")
    game.key(Keys.ESCAPE, frames=3)
    assert game.js("return vantorel.state") == "running"


def test_the_arrows_and_a_pad_move_the_paddle_past_half_the_stick(page):
    game = page()
    game.step()
    # While the game runs, the browser keeps F5 and the arrows for it: no reload, no scroll.
    game.js("addEventListener('keydown', (e) => { window.kept = e.defaultPrevented; })")
    game.key(Keys.F5)
    assert game.js("return kept") is True
    for key, pixels in ((Keys.ARROW_RIGHT, PADDLE_STEP), (Keys.ARROW_LEFT, -PADDLE_STEP)):
        start = scene.paddle_x(game.shot())
        game.key(key, frames=2)
        assert scene.paddle_x(game.shot()) == start + 2 * pixels, key
    rows = [  # (pad, buttons held, left stick, pixels a frame)
        (0, (PAD_RIGHT,), 0, PADDLE_STEP),
        (1, (PAD_LEFT,), 0, -PADDLE_STEP),
        (0, (), 0.5, 0),
        (0, (), 0.51, PADDLE_STEP),
        (1, (), -0.5, 0),
        (1, (), -0.51, -PADDLE_STEP),
    ]
    for which, buttons, stick, pixels in rows:
        start = scene.paddle_x(game.shot())
        game.pad(*buttons, stick=stick, which=which)
        game.step(2)
        game.pad(which=which)
        assert scene.paddle_x(game.shot()) == start + 2 * pixels, (which, buttons, stick)


def test_upright_fingers_hold_the_arrows_and_the_enter_button_not_a_tap_dismisses(page):
    game = page()
    game.phone(390, 844)
    game.step()
    check_the_buttons(game, "web-phone-portrait.png", "top", "bottom")
    game.step(200)  # to the first lost ball
    assert scene.prompt_shown(game.shot())
    game.tap("screen")
    game.step()
    assert scene.prompt_shown(game.shot())
    game.tap("Enter")
    game.step()
    assert not scene.prompt_shown(game.shot())
    screen = game.rect("screen")
    middle = screen["x"] + screen["width"] / 2
    y = screen["y"] + screen["height"] / 2
    rows = [  # (where fingers are down, pixels a frame)
        ([middle - 5], -PADDLE_STEP),
        ([middle + 5], PADDLE_STEP),
        ([middle - 100, middle + 100], -PADDLE_STEP),
    ]
    for fingers, pixels in rows:
        start = scene.paddle_x(game.shot())
        game.touch("touchStart", *[(x, y) for x in fingers])
        # Slid as if to scroll or zoom the page, a finger goes on holding its arrow.
        game.touch("touchMove", *[(x, y - 200) for x in fingers])
        game.step(2)
        game.touch("touchEnd")
        game.step()
        assert scene.paddle_x(game.shot()) == start + 2 * pixels, fingers
    assert game.js("return [scrollX, scrollY, visualViewport.scale]") == [0, 0, 1]


def test_on_its_side_f5_escape_and_play_again_from_the_keyboard_buttons_and_pads(page):
    game = page()
    game.phone(844, 390)
    game.step()
    check_the_buttons(game, "web-phone-landscape.png", "left", "right")
    game.tap("F5")
    game.step()
    assert scene.overlay_shown(game.shot())
    game.step(13)  # F5 toggles again after 200 ms
    press_on_the_pad(game, PAD_Y)
    game.step()
    assert not scene.overlay_shown(game.shot())
    rows = [  # (a way to quit, the pad's button that plays again)
        (lambda: game.key(Keys.ESCAPE), PAD_START),
        (lambda: game.tap("Escape"), PAD_A),
        (lambda: press_on_the_pad(game, PAD_BACK), PAD_START),
    ]
    for quit, again in rows:
        quit()
        game.wait("return vantorel.state === 'ended'")
        assert "exit code 0" in game.text("ended-text")
        assert game.log() == b"Game successfully returning...\r\n"
        frames = game.js("return vantorel.frames")
        press_on_the_pad(game, again)
        game.wait(f"return vantorel.state === 'running' && vantorel.frames > {frames}")
        assert game.log() == b""
