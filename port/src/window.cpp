// Window classes, windows and message boxes, the cursor's display counter and the thread's
// message queue. The game has one thread, so there is one queue; messages are kept in the order
// posted.
#include <windows.h>

#include "host.h"
#include "host_calls.h"
#include "internal.h"
#include "test_hooks.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

struct WindowClass {
    std::string name;
    WNDPROC proc;
    ATOM atom;
};

struct Window {
    HWND handle;
    WNDPROC proc;
    bool topLevel;
    bool destroying;
};

struct State {
    std::vector<WindowClass> classes;
    std::vector<Window> windows;
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
    // The display counter: the cursor shows while it is >= 0; 0 with a mouse attached.
    int cursorCount = 0;
    // Real class atoms come from the 0xC000 range.
    ATOM nextAtom = 0xC000;
};

State state;

// Window handles are never reused in a process, not even across a reset.
uintptr_t nextWindow = 0x10010;

constexpr WORD ProgramIcon = 101;
constexpr WORD FirstSystemCursor = 32512; // IDC_ARROW
constexpr WORD LastSystemCursor = 32651;  // IDC_HELP
constexpr WORD FirstSystemIcon = 32512;   // IDI_APPLICATION
constexpr WORD LastSystemIcon = 32518;

bool IsIntResource(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) <= 0xFFFF;
}
WORD IntResource(LPCSTR name) {
    return static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
}
// A name as a call's string argument: none for an integer resource.
LPCSTR NameText(LPCSTR name) {
    return IsIntResource(name) ? nullptr : name;
}

// Class names compare without regard to case, as on the real platform.
bool SameName(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A class name is a string or, as an integer resource, the class's atom.
const WindowClass* FindClass(LPCSTR name) {
    if (!name)
        return nullptr;
    for (const WindowClass& c : state.classes)
        if (IsIntResource(name) ? c.atom == IntResource(name) : SameName(c.name, name))
            return &c;
    return nullptr;
}

Window* FindWindow(HWND handle) {
    if (!handle)
        return nullptr;
    for (Window& w : state.windows)
        if (w.handle == handle)
            return &w;
    return nullptr;
}

// A window's procedure, looked up afresh each time: a procedure may create or destroy
// windows, so no reference into the list is held across a call.
LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindow(handle);
    if (!w)
        return 0;
    WNDPROC proc = w->proc;
    return proc(handle, message, wParam, lParam);
}

void Forget(HWND handle) {
    state.windows.erase(std::remove_if(state.windows.begin(), state.windows.end(),
                                       [&](const Window& w) { return w.handle == handle; }),
                        state.windows.end());
    // Destroying a window flushes its messages from the queue.
    state.posted.erase(std::remove_if(state.posted.begin(), state.posted.end(),
                                      [&](const MSG& m) { return m.hwnd == handle; }),
                       state.posted.end());
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

bool Destroy(HWND handle) {
    Window* w = FindWindow(handle);
    if (!w || w->destroying)
        return false;
    w->destroying = true;
    // The window leaves the screen before it hears of its destruction.
    if (w->topLevel)
        PortGetHost().closeWindow();
    port::WindowDestroyed(handle);
    Send(handle, WM_DESTROY, 0, 0);
    Send(handle, WM_NCDESTROY, 0, 0);
    Forget(handle);
    return true;
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
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc || !wc->lpszClassName)
        return 0;
    if (IsIntResource(wc->lpszClassName) || FindClass(wc->lpszClassName))
        return 0;
    if (state.nextAtom == 0xFFFF)
        return 0;
    ATOM atom = state.nextAtom++;
    state.classes.push_back({wc->lpszClassName, wc->lpfnWndProc, atom});
    return atom;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    if (port::Enter("CreateWindowExA", nullptr,
                    {exStyle, style, x, y, width, height, port::Arg(parent), port::Arg(menu),
                     port::Arg(instance), port::Arg(param)},
                    NameText(className), windowName))
        return nullptr;
    const WindowClass* windowClass = FindClass(className);
    if (!windowClass)
        return nullptr;
    if (parent && !FindWindow(parent))
        return nullptr;
    bool topLevel = !parent;
    if (topLevel && !PortGetHost().openWindow(windowName ? windowName : "", width, height))
        return nullptr;

    HWND handle = reinterpret_cast<HWND>(nextWindow);
    nextWindow += 4;
    state.windows.push_back({handle, windowClass->proc, topLevel, false});

    // The creation record is not carried here: the game's procedure never reads it.
    if (!Send(handle, WM_NCCREATE, 0, 0)) {
        Send(handle, WM_NCDESTROY, 0, 0);
        Forget(handle);
        if (topLevel)
            PortGetHost().closeWindow();
        return nullptr;
    }
    if (Send(handle, WM_CREATE, 0, 0) == -1) {
        Destroy(handle);
        return nullptr;
    }
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    if (port::Enter("DestroyWindow", handle))
        return FALSE;
    return Destroy(handle) ? TRUE : FALSE;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (port::Enter("LoadIconA", nullptr, {port::Arg(instance), port::Arg(name)}, NameText(name)) ||
        !name || !IsIntResource(name))
        return nullptr;
    WORD id = IntResource(name);
    // The program carries one icon resource; the system's own icons need no instance.
    bool ok = instance ? id == ProgramIcon : id >= FirstSystemIcon && id <= LastSystemIcon;
    return ok ? reinterpret_cast<HICON>(static_cast<uintptr_t>(0x20000 + id)) : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (port::Enter("LoadCursorA", nullptr, {port::Arg(instance), port::Arg(name)},
                    NameText(name)) ||
        instance || !name || !IsIntResource(name))
        return nullptr;
    WORD id = IntResource(name);
    if (id < FirstSystemCursor || id > LastSystemCursor)
        return nullptr;
    return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x30000 + id));
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
    if (handle && !FindWindow(handle))
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
        !msg || !msg->hwnd)
        return 0;
    return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    port::Enter("DefWindowProcA", handle,
                {message, static_cast<long long>(wParam), static_cast<long long>(lParam)});
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    default:
        return 0;
    }
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (port::Enter("MessageBoxA", owner, {type}, text, caption))
        return 0;
    return PortGetHost().messageBox(owner, text ? text : "", caption ? caption : "Error", type);
}

// The one top-level window while the host says it has the keys; no window otherwise.
HWND GetForegroundWindow(void) {
    if (!PortGetHost().inFront())
        return nullptr;
    for (const Window& w : state.windows)
        if (w.topLevel && !w.destroying)
            return w.handle;
    return nullptr;
}

void PortCloseRequest() {
    for (const Window& w : state.windows)
        if (w.topLevel && !w.destroying) {
            Post(w.handle, WM_CLOSE, 0, 0);
            return;
        }
}

namespace port {

void ResetWindows() {
    state = State();
}

} // namespace port
