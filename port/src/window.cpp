// The game's one window class, its one window and message boxes, the cursor's display counter
// and the thread's message queue. The game has one thread and one window, so there is one
// queue; messages are kept in the order posted.
#include <windows.h>

#include "internal.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace {

struct State {
    WNDPROC classProc = nullptr;
    // The one window, while it exists, its style and its client area's size.
    HWND window = nullptr;
    DWORD style = 0;
    RECT client = {0, 0, 0, 0};
    bool destroying = false;
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
    // The display counter: the cursor shows while it is >= 0; 0 with a mouse attached.
    int cursorCount = 0;
};

State state;

// Window handles are never reused in a process, not even across a reset.
uintptr_t nextWindow = 0x10010;

constexpr WORD ProgramIcon = 101;

bool Alive(HWND handle) {
    return handle && handle == state.window && !state.destroying;
}

void Post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    state.posted.push_back(MSG{handle, message, wParam, lParam});
}

void Destroy(HWND handle) {
    if (!Alive(handle))
        return;
    state.destroying = true;
    // The window leaves the screen before it hears of its destruction.
    port::Host().closeWindow();
    port::WindowDestroyed(handle);
    state.classProc(handle, WM_DESTROY, 0, 0);
    // Destroying a window flushes its messages from the queue.
    state.posted.erase(std::remove_if(state.posted.begin(), state.posted.end(),
                                      [&](const MSG& m) { return m.hwnd == handle; }),
                       state.posted.end());
    state.window = nullptr;
    state.destroying = false;
}

} // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    if (port::Enter(__func__, nullptr,
                    {wc->cbSize, wc->style, port::Arg(reinterpret_cast<void*>(wc->lpfnWndProc)),
                     wc->cbClsExtra, wc->cbWndExtra, port::Arg(wc->hInstance), port::Arg(wc->hIcon),
                     port::Arg(wc->hCursor), port::Arg(wc->hbrBackground), port::Arg(wc->hIconSm)},
                    {wc->lpszClassName}))
        return 0;
    state.classProc = wc->lpfnWndProc;
    // Real class atoms come from the 0xC000 range.
    return 0xC000;
}

// The game makes one top-level window, of its one class.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    if (port::Enter(__func__, nullptr, {exStyle, style, x, y, width, height},
                    {className, windowName}) ||
        !port::Host().openWindow(windowName, width, height))
        return nullptr;
    state.window = reinterpret_cast<HWND>(nextWindow);
    state.style = style;
    state.client = {0, 0, width, height};
    nextWindow += 4;
    return state.window;
}

// The program's own icon and the system's arrow.
HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (port::Enter(__func__, nullptr, {port::Arg(instance), port::Arg(name)}))
        return nullptr;
    return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x20000 + ProgramIcon));
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (port::Enter(__func__, nullptr, {port::Arg(instance), port::Arg(name)}))
        return nullptr;
    return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x30000 + 32512));
}

int ShowCursor(BOOL show) {
    // A failure made by a test leaves the counter where it is.
    if (port::Enter(__func__, nullptr, {show}))
        return state.cursorCount;
    state.cursorCount += show ? 1 : -1;
    port::Host().showCursor(state.cursorCount >= 0);
    return state.cursorCount;
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (port::Enter(__func__))
        return FALSE;
    Post(handle, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    port::Enter(__func__);
    state.quitPending = true;
    state.quitCode = exitCode;
}

// The game passes no window and no range of messages, so no filter is applied: the message
// posted first is the one found.
BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeFlags) {
    if (port::Enter(__func__))
        return FALSE;
    port::Host().pumpEvents();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (!state.posted.empty()) {
        *msg = state.posted.front();
        if (remove)
            state.posted.pop_front();
        return TRUE;
    }
    // The quit message waits behind every posted message.
    if (!state.quitPending)
        return FALSE;
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(state.quitCode), 0};
    if (remove)
        state.quitPending = false;
    return TRUE;
}

BOOL TranslateMessage(const MSG*) {
    // No character messages are made here: the game reads the keyboard by polling.
    port::Enter(__func__);
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (port::Enter(__func__))
        return 0;
    return state.classProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM, LPARAM) {
    port::Enter(__func__);
    if (message == WM_CLOSE)
        Destroy(handle);
    return 0;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (port::Enter(__func__))
        return 0;
    return port::Host().messageBox(owner, text, caption, type);
}

// The window while the host says it has the keys; no window otherwise.
HWND GetForegroundWindow(void) {
    return port::Host().inFront() && Alive(state.window) ? state.window : nullptr;
}

// The game gives its one window the style, then the size: a frame the host draws around it.
// Neither call's answer is looked at, so they are recorded and cannot fail.
LONG SetWindowLongA(HWND, int index, LONG style) {
    port::Enter(__func__, nullptr, {index, style});
    return static_cast<LONG>(std::exchange(state.style, static_cast<DWORD>(style)));
}

BOOL SetWindowPos(HWND, HWND after, int x, int y, int width, int height, UINT flags) {
    port::Enter(__func__, nullptr, {port::Arg(after), x, y, width, height, flags});
    state.client = {0, 0, width, height};
    port::Host().frameWindow((state.style & WS_OVERLAPPEDWINDOW) != 0, width, height);
    return TRUE;
}

// No frame or screen of the port's own: the host draws its frame outside the client area it is
// given, and centres the window; every metric is 0, as for an index Windows does not know.
BOOL AdjustWindowRectEx(LPRECT, DWORD, BOOL, DWORD) {
    port::Enter(__func__);
    return TRUE;
}

int GetSystemMetrics(int) {
    port::Enter(__func__);
    return 0;
}

BOOL GetClientRect(HWND, LPRECT rect) {
    if (port::Enter(__func__))
        return FALSE;
    *rect = state.client;
    return TRUE;
}

void PortAltEnter() {
    if (Alive(state.window))
        Post(state.window, WM_SYSKEYDOWN, VK_RETURN, LPARAM{1} | (LPARAM{1} << 29));
}

void PortCloseRequest() {
    if (Alive(state.window))
        Post(state.window, WM_CLOSE, 0, 0);
}

void PortReset() {
    state = State();
    port::ResetDirectDraw();
}
