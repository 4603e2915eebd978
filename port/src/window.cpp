// Window classes, the one game window and message boxes, the cursor's display counter and the
// thread's message queue. The game has one thread and one window, so there is one queue;
// messages are kept in the order posted.
#include <windows.h>

#include "host.h"
#include "host_calls.h"
#include "internal.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

struct WindowClass {
    std::string name;
    WNDPROC proc;
};

struct State {
    std::vector<WindowClass> classes;
    // The one window, while it exists.
    HWND window = nullptr;
    WNDPROC proc = nullptr;
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

bool IsIntResource(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) <= 0xFFFF;
}
// A name as a call's string argument: none for an integer resource.
LPCSTR NameText(LPCSTR name) {
    return IsIntResource(name) ? nullptr : name;
}

const WindowClass* FindClass(LPCSTR name) {
    if (!name || IsIntResource(name))
        return nullptr;
    for (const WindowClass& c : state.classes)
        if (c.name == name)
            return &c;
    return nullptr;
}

bool Alive(HWND handle) {
    return handle && handle == state.window && !state.destroying;
}

void Post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m = {};
    m.hwnd = handle;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = PortGetHost().now();
    state.posted.push_back(m);
}

void Destroy(HWND handle) {
    if (!Alive(handle))
        return;
    state.destroying = true;
    // The window leaves the screen before it hears of its destruction.
    PortGetHost().closeWindow();
    port::WindowDestroyed(handle);
    state.proc(handle, WM_DESTROY, 0, 0);
    // Destroying a window flushes its messages from the queue.
    state.posted.erase(std::remove_if(state.posted.begin(), state.posted.end(),
                                      [&](const MSG& m) { return m.hwnd == handle; }),
                       state.posted.end());
    state.window = nullptr;
    state.destroying = false;
}

} // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    if (wc &&
        port::Enter("RegisterClassExA", nullptr,
                    {wc->cbSize, wc->style, port::Arg(reinterpret_cast<void*>(wc->lpfnWndProc)),
                     wc->cbClsExtra, wc->cbWndExtra, port::Arg(wc->hInstance), port::Arg(wc->hIcon),
                     port::Arg(wc->hCursor), port::Arg(wc->hbrBackground), port::Arg(wc->hIconSm)},
                    NameText(wc->lpszClassName), NameText(wc->lpszMenuName)))
        return 0;
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc ||
        IsIntResource(wc->lpszClassName) || FindClass(wc->lpszClassName))
        return 0;
    state.classes.push_back({wc->lpszClassName, wc->lpfnWndProc});
    // Real class atoms come from the 0xC000 range.
    return static_cast<ATOM>(0xC000 + state.classes.size() - 1);
}

// The game makes one top-level window; a second one, or a child, is not made here.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    if (port::Enter("CreateWindowExA", nullptr,
                    {exStyle, style, x, y, width, height, port::Arg(parent), port::Arg(menu),
                     port::Arg(instance), port::Arg(param)},
                    NameText(className), windowName))
        return nullptr;
    const WindowClass* windowClass = FindClass(className);
    if (!windowClass || parent || state.window ||
        !PortGetHost().openWindow(windowName ? windowName : "", width, height))
        return nullptr;
    state.window = reinterpret_cast<HWND>(nextWindow);
    state.proc = windowClass->proc;
    port::WindowMade(style, width, height);
    nextWindow += 4;
    return state.window;
}

// The program's own icon (with its instance) and the system's arrow (without one).
HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (port::Enter("LoadIconA", nullptr, {port::Arg(instance), port::Arg(name)}, NameText(name)) ||
        !instance || name != MAKEINTRESOURCEA(ProgramIcon))
        return nullptr;
    return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x20000 + ProgramIcon));
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (port::Enter("LoadCursorA", nullptr, {port::Arg(instance), port::Arg(name)},
                    NameText(name)) ||
        instance || name != IDC_ARROW)
        return nullptr;
    return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x30000 + 32512));
}

int ShowCursor(BOOL show) {
    // A failure made by a test leaves the counter where it is.
    if (port::Enter("ShowCursor", nullptr, {show}))
        return state.cursorCount;
    state.cursorCount += show ? 1 : -1;
    PortGetHost().showCursor(state.cursorCount >= 0);
    return state.cursorCount;
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (port::Enter("PostMessageA", handle, {message, static_cast<long long>(wParam), lParam}))
        return FALSE;
    if (handle && !Alive(handle))
        return FALSE;
    Post(handle, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    port::Enter("PostQuitMessage", nullptr, {exitCode});
    state.quitPending = true;
    state.quitCode = exitCode;
}

// The game passes no window and no range of messages, so no filter is applied: the message
// posted first is the one found.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT removeFlags) {
    if (port::Enter("PeekMessageA", nullptr,
                    {port::Arg(msg), port::Arg(window), first, last, removeFlags}) ||
        !msg)
        return FALSE;
    PortGetHost().pumpEvents();
    bool remove = (removeFlags & PM_REMOVE) != 0;
    if (!state.posted.empty()) {
        *msg = state.posted.front();
        if (remove)
            state.posted.pop_front();
        return TRUE;
    }
    // The quit message waits behind every posted message.
    if (state.quitPending) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(state.quitCode);
        msg->time = PortGetHost().now();
        if (remove)
            state.quitPending = false;
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    // No character messages are made here: the game reads the keyboard by polling.
    port::Enter("TranslateMessage", msg ? msg->hwnd : nullptr, {msg ? msg->message : 0});
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (port::Enter("DispatchMessageA", msg ? msg->hwnd : nullptr, {msg ? msg->message : 0}) ||
        !msg || !Alive(msg->hwnd))
        return 0;
    return state.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    port::Enter("DefWindowProcA", handle,
                {message, static_cast<long long>(wParam), static_cast<long long>(lParam)});
    if (message == WM_CLOSE)
        Destroy(handle);
    return 0;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (port::Enter("MessageBoxA", owner, {type}, text, caption))
        return 0;
    return PortGetHost().messageBox(owner, text ? text : "", caption ? caption : "Error", type);
}

// The window while the host says it has the keys; no window otherwise.
HWND GetForegroundWindow(void) {
    return PortGetHost().inFront() && Alive(state.window) ? state.window : nullptr;
}

void PortCloseRequest() {
    if (Alive(state.window))
        Post(state.window, WM_CLOSE, 0, 0);
}

void PortAltEnter() {
    // The repeat count 1 and the context bit: Alt is held.
    if (Alive(state.window))
        Post(state.window, WM_SYSKEYDOWN, VK_RETURN, LPARAM{1} | (LPARAM{1} << 29));
}

namespace port {

void ResetWindows() {
    state = State();
    port::WindowMade(0, 0, 0);
}

} // namespace port
