// The browser host. The game's window is the page's canvas; its exclusive 800 x 600 mode is the
// canvas at that size, scaled by the page to fit. A flip puts the page on the canvas and then
// waits for the browser's next animation frame, which is the display's refresh here as it is
// for a real flip. That wait, a message box and Sleep are where the browser gets its turn.
#include "web_host.h"

#include "page.h"
#include "web_pixels.h"

#include <emscripten.h>

#include <cstdint>
#include <vector>

namespace {

struct State {
    bool windowOpen = false;
    int modeWidth = 0;
    int modeHeight = 0;
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

// Sleep gives the browser its turn for that long, as it gives other programs the processor.
void SleepFor(DWORD ms) {
    emscripten_sleep(ms);
}

bool KeyDown(int vk) {
    return vantorel_page_key_down(vk) != 0;
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

bool OpenWindow(const char* caption, int, int) {
    if (state.windowOpen || !vantorel_page_open_window(caption))
        return false;
    state.windowOpen = true;
    return true;
}

void CloseWindow() {
    state.windowOpen = false;
    state.modeWidth = state.modeHeight = 0;
}

void ShowPageCursor(bool visible) {
    vantorel_page_show_cursor(visible ? 1 : 0);
}

bool SetMode(int width, int height, int bitsPerPixel) {
    if (!state.windowOpen || bitsPerPixel != 16 || width <= 0 || height <= 0)
        return false;
    vantorel_page_set_mode(width, height);
    state.modeWidth = width;
    state.modeHeight = height;
    if (state.table.empty())
        state.table = webpixels::MakeTable();
    state.rgba.assign(static_cast<size_t>(width) * height, 0);
    state.frameStart = vantorel_page_now();
    return true;
}

void RestoreMode() {
    if (state.modeWidth == 0)
        return;
    state.modeWidth = state.modeHeight = 0;
    vantorel_page_restore_mode();
}

void Present(const WORD* pixels, LONG pitch, int width, int height) {
    const double start = vantorel_page_now();
    webpixels::ToRgba(pixels, pitch, width, height, state.table, state.rgba.data());
    vantorel_page_show(state.rgba.data(), width, height);
    const double shown = vantorel_page_now();
    vantorel_page_frame_timed(start - state.frameStart, shown - start);
    // Waiting after the picture is up, as a flip waits for the refresh, lets the next frame
    // read the keys as late as possible.
    vantorel_page_next_frame();
    state.frameStart = vantorel_page_now();
}

// The game's window is in front while the page is shown.
bool InFront() {
    return vantorel_page_in_front() != 0;
}

// Closing the tab ends the page outright, so no close request ever reaches the game: the
// default, empty pumpEvents is kept.
PortHost MakeHost() {
    PortHost h;
    h.now = Now;
    h.sleep = SleepFor;
    h.keyDown = KeyDown;
    h.messageBox = ShowBox;
    h.openWindow = OpenWindow;
    h.closeWindow = CloseWindow;
    h.showCursor = ShowPageCursor;
    h.setDisplayMode = SetMode;
    h.restoreDisplayMode = RestoreMode;
    h.present = Present;
    h.inFront = InFront;
    h.padState = PadState;
    return h;
}

const PortHost host = MakeHost();

} // namespace

const PortHost* WebHost() {
    return &host;
}
