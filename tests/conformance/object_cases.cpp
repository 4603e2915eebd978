// A second DirectDraw object beside the game's: creation, interfaces, cooperative levels and
// the order of releases. Then the window calls: classes, windows, a close request through the
// message queue, the keyboard, the cursor and the clock.
#include "harness.h"

#include <mmsystem.h>

namespace {

const IID MadeUpIid = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr int QuitCode = 7;

struct MessageName {
    UINT message;
    const char* name;
};

// The messages of a window's life that the game's procedure cares for.
const MessageName watched[] = {
    {WM_NCCREATE, "WM_NCCREATE"}, {WM_CREATE, "WM_CREATE"},       {WM_CLOSE, "WM_CLOSE"},
    {WM_DESTROY, "WM_DESTROY"},   {WM_NCDESTROY, "WM_NCDESTROY"},
};

// Those the other window's procedure saw since the last look, by name.
std::string seen;

LRESULT CALLBACK OtherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageName& m : watched)
        if (m.message == message)
            seen += std::string(seen.empty() ? "" : " ") + m.name;
    if (message == WM_DESTROY)
        PostQuitMessage(QuitCode);
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string Seen() {
    const std::string names = seen.empty() ? "nothing" : seen;
    seen.clear();
    return names;
}

// Takes messages until one with this code comes, handing the others to their windows.
bool TakeUntil(UINT message, MSG& msg) {
    for (int i = 0; i < 1000; ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            return false;
        if (msg.message == message)
            return true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}

} // namespace

void ObjectCases(Stage& stage) {
    LPDIRECTDRAW first = reinterpret_cast<LPDIRECTDRAW>(&stage); // does a refusal empty it?
    Case("object.create-aggregated", "DirectDrawCreate(outer)",
         DirectDrawCreate(nullptr, &first, reinterpret_cast<IUnknown*>(&stage)),
         [&] { return first ? "out kept" : "out emptied"; });
    if (DirectDrawCreate(nullptr, &first, nullptr) != DD_OK)
        return;
    LPDIRECTDRAW4 dd = reinterpret_cast<LPDIRECTDRAW4>(&stage);
    Case("object.query-unknown", "QueryInterface(made-up IID)",
         first->QueryInterface(MadeUpIid, reinterpret_cast<LPVOID*>(&dd)),
         [&] { return dd ? "out kept" : "out emptied"; });
    if (first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)) != DD_OK)
        return;
    // Each interface keeps its own count.
    Report("object.release-first", "Release(IDirectDraw)", References(first->Release()), "-");

    Surface made = nullptr;
    HRESULT result = CreatePlain(dd, 64, 32, &made);
    Case("object.surface-before-level", "CreateSurface(64 x 32)", result);
    if (result == DD_OK)
        made->Release();
    Case("object.mode-before-level", "SetDisplayMode(800, 600, 16)",
         dd->SetDisplayMode(800, 600, 16, 0, 0));
    const DWORD exclusive = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;
    Case("object.exclusive-without-window", "SetCooperativeLevel(null, exclusive)",
         dd->SetCooperativeLevel(nullptr, exclusive));
    // Another window of the program asks for what the game's window holds.
    HWND window = CreateWindowExA(0, "ConformanceStage", "Second", WS_POPUP, 0, 0, 64, 48, nullptr,
                                  nullptr, nullptr, nullptr);
    Case("object.exclusive-taken", "SetCooperativeLevel(another window, exclusive)",
         dd->SetCooperativeLevel(window, exclusive));
    Case("object.normal-without-window", "SetCooperativeLevel(null, DDSCL_NORMAL)",
         dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    DestroyWindow(window);
    PumpMessages();

    // The object released while one of its surfaces is still held: the surface keeps it.
    made = nullptr;
    CreatePlain(dd, 64, 32, &made);
    const ULONG left = dd->Release();
    std::string after = "-";
    if (made) {
        DDSURFACEDESC2 desc = Description();
        const HRESULT locked = made->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        if (locked == DD_OK)
            made->Unlock(nullptr);
        after = "surface's lock " + Name(locked);
    }
    Report("object.release-before-surface", "Release(IDirectDraw4)", References(left), after);
    if (made)
        Report("object.release-surface-last", "Release(surface)", References(made->Release()), "-");
}

void WindowCases(Stage&) {
    Report("window.register", "RegisterClassExA",
           RegisterWindowClass("ConformanceOther", OtherProc) ? "an atom" : "0", "-");
    Report("window.register-again", "RegisterClassExA",
           RegisterWindowClass("ConformanceOther", OtherProc) ? "an atom" : "0", "-");
    Report("window.cursor", "LoadCursorA(IDC_ARROW)",
           LoadCursorA(nullptr, IDC_ARROW) ? "a cursor" : "null", "-");
    HWND missing = CreateWindowExA(0, "NoSuchClass", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    Report("window.create-unknown-class", "CreateWindowExA", missing ? "a window" : "null", "-");
    HWND window = CreateWindowExA(0, "ConformanceOther", "Other", WS_POPUP, 0, 0, 64, 48, nullptr,
                                  nullptr, nullptr, nullptr);
    Report("window.create", "CreateWindowExA", window ? "a window" : "null", "saw " + Seen());
    if (!window)
        return;

    // A close request goes through the queue to the default handling, which destroys the
    // window; its procedure then asks to quit.
    Report("window.post-close", "PostMessageA(WM_CLOSE)",
           Bool(PostMessageA(window, WM_CLOSE, 0, 0)), "-");
    MSG msg;
    const bool found = TakeUntil(WM_CLOSE, msg);
    Report("window.peek-close", "PeekMessageA", found ? "WM_CLOSE" : "no WM_CLOSE",
           found && msg.hwnd == window ? "for the window" : "-");
    if (found) {
        const LRESULT answer = DispatchMessageA(&msg);
        Report("window.dispatch-close", "DispatchMessageA(WM_CLOSE)",
               Text("%ld", static_cast<long>(answer)), "saw " + Seen());
    }
    const bool quit = TakeUntil(WM_QUIT, msg);
    Report("window.peek-quit", "PeekMessageA", quit ? "WM_QUIT" : "no WM_QUIT",
           quit ? Text("code %d", static_cast<int>(msg.wParam)) : "-");
    Report("window.destroy-again", "DestroyWindow(destroyed)", Bool(DestroyWindow(window)), "-");
    Report("window.post-to-destroyed", "PostMessageA(destroyed window)",
           Bool(PostMessageA(window, WM_CLOSE, 0, 0)), "-");

    Report("input.key-up", "GetAsyncKeyState(VK_F5)", Text("%d", GetAsyncKeyState(VK_F5)), "-");
    const int hidden = ShowCursor(FALSE);
    Report("input.hide-cursor", "ShowCursor(FALSE)", Text("%d", hidden),
           Text("then ShowCursor(TRUE) %d", ShowCursor(TRUE)));

    // The clock, read many times over: it never steps back.
    DWORD last = timeGetTime();
    int backwards = 0;
    for (int i = 0; i < 100000; ++i) {
        const DWORD now = timeGetTime();
        backwards += static_cast<LONG>(now - last) < 0;
        last = now;
    }
    Report("clock.forward", "timeGetTime, 100000 times", "-", Text("%d steps back", backwards));
}
