// The browser host. The game's window is the page's canvas; its exclusive 800 x 600 mode is the
// canvas at that size, scaled by the page to fit. A flip puts the page on the canvas and then
// waits for the browser's next animation frame, the display's refresh, so that pictures change
// in step with it; the game paces its flips to 60 a second itself. That wait, a message box
// and Sleep are where the browser gets its turn.
#include "web_host.h"

#include "page.h"
#include "web_pixels.h"

#include <emscripten.h>

#include <cstdint>
#include <vector>

namespace {

struct State {
    std::vector<uint32_t> table;
    std::vector<uint32_t> rgba;
    // When the game got the browser back from the last flip: the frame's work starts there.
    double frameStart = 0;
};

State state;

DWORD Now() {
    // The page's clock starts near 0 at load and only grows; Windows' clock wraps at 2^32 ms.
    return static_cast<DWORD>(static_cast<uint64_t>(vantorel_page_now()));
}

bool PadState(DWORD user, XINPUT_GAMEPAD& pad) {
    short stickX = 0;
    const int buttons = vantorel_page_pad(static_cast<int>(user), &stickX);
    if (buttons < 0)
        return false;
    pad.wButtons = static_cast<WORD>(buttons);
    pad.sThumbLX = stickX;
    return true;
}

int ShowBox(HWND, const char* text, const char* caption, UINT style) {
    vantorel_page_message_box(caption, text, (style & MB_ICONERROR) ? 1 : 0);
    return IDOK;
}

bool SetMode(int width, int height) {
    vantorel_page_set_mode(width, height);
    if (state.table.empty())
        state.table = webpixels::MakeTable();
    state.rgba.assign(static_cast<size_t>(width) * height, 0);
    state.frameStart = vantorel_page_now();
    return true;
}

void Present(const PortRows& page, int width, int height) {
    const double start = vantorel_page_now();
    webpixels::ToRgba(page, width, height, state.table, state.rgba.data());
    vantorel_page_show(state.rgba.data(), width, height);
    const double shown = vantorel_page_now();
    vantorel_page_frame_timed(start - state.frameStart, shown - start);
    // Waiting after the picture is up, as a flip waits for the refresh, lets the next frame
    // read the keys as late as possible.
    vantorel_page_next_frame();
    state.frameStart = vantorel_page_now();
}

// Sleep gives the browser its turn for that long, as it gives other programs the processor.
// That time is not the frame's work.
void SleepFor(DWORD ms) {
    const double start = vantorel_page_now();
    emscripten_sleep(ms);
    state.frameStart += vantorel_page_now() - start;
}

// Closing the tab ends the page outright, so no close request ever reaches the game: the
// default, empty pumpEvents is kept.
const PortHost host = {
    .now = Now,
    .sleep = SleepFor,
    .keyDown = [](int vk) { return vantorel_page_key_down(vk) != 0; },
    .messageBox = ShowBox,
    .openWindow = [](const char* caption, int,
                     int) { return vantorel_page_open_window(caption) != 0; },
    .closeWindow = [] {},
    // The page is the window: its own Full screen button stands in for the frame.
    .frameWindow = [](bool, int, int) {},
    .showCursor = [](bool visible) { vantorel_page_show_cursor(visible ? 1 : 0); },
    .setDisplayMode = SetMode,
    .restoreDisplayMode = vantorel_page_restore_mode,
    .present = Present,
    // The game's window is in front while the page is shown.
    .inFront = [] { return vantorel_page_in_front() != 0; },
    .padState = PadState,
};

} // namespace

const PortHost* WebHost() {
    return &host;
}
