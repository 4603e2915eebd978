// A second DirectDraw object beside the game's: creation, interfaces, cooperative levels and
// the order of releases. Then the window calls: classes, windows, a close request through the
// message queue, the keyboard, the cursor and the clock.
#include "harness.h"

#include <mmsystem.h>

#include <vector>

namespace {

const IID MadeUpIid = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr int QuitCode = 7;

// The messages the other window's procedure saw that the game's procedure cares for.
std::vector<UINT> seen;

LRESULT CALLBACK OtherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE || message == WM_CREATE || message == WM_CLOSE ||
        message == WM_DESTROY || message == WM_NCDESTROY)
        seen.push_back(message);
    if (message == WM_DESTROY)
        PostQuitMessage(QuitCode);
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string Seen() {
    std::string names;
    for (UINT m : seen) {
        names += names.empty() ? "" : " ";
        switch (m) {
        case WM_NCCREATE:
            names += "WM_NCCREATE";
            break;
        case WM_CREATE:
            names += "WM_CREATE";
            break;
        case WM_CLOSE:
            names += "WM_CLOSE";
            break;
        case WM_DESTROY:
            names += "WM_DESTROY";
            break;
        default:
            names += "WM_NCDESTROY";
            break;
        }
    }
    seen.clear();
    return names.empty() ? "nothing" : names;
}

std::string Count(ULONG left) {
    return Text("%lu", static_cast<unsigned long>(left));
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
    HRESULT result = DirectDrawCreate(nullptr, &first, reinterpret_cast<IUnknown*>(&stage));
    Report("object.create-aggregated", "DirectDrawCreate(outer)", Name(result),
           first ? "out kept" : "out emptied");
    result = DirectDrawCreate(nullptr, &first, nullptr);
    Report("object.create", "DirectDrawCreate", Name(result), "-");
    if (result != DD_OK)
        return;

    LPDIRECTDRAW4 dd = reinterpret_cast<LPDIRECTDRAW4>(&stage);
    result = first->QueryInterface(MadeUpIid, reinterpret_cast<LPVOID*>(&dd));
    Report("object.query-unknown", "QueryInterface(made-up IID)", Name(result),
           dd ? "out kept" : "out emptied");
    result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd));
    Report("object.query-4", "QueryInterface(IID_IDirectDraw4)", Name(result), "-");
    if (result != DD_OK)
        return;
    Report("object.release-first", "Release(IDirectDraw)", Count(first->Release()), "-");

    LPDIRECTDRAWSURFACE4 made = nullptr;
    result = CreatePlain(dd, 64, 32, &made);
    Report("object.surface-before-level", "CreateSurface(64 x 32)", Name(result), "-");
    if (result == DD_OK)
        made->Release();
    result = dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("object.mode-before-level", "SetDisplayMode(800, 600, 16)", Name(result), "-");
    const DWORD exclusive = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;
    result = dd->SetCooperativeLevel(nullptr, exclusive);
    Report("object.exclusive-without-window", "SetCooperativeLevel(null, exclusive)", Name(result),
           "-");
    // Another window of the program asks for what the game's window holds.
    HWND window = CreateWindowExA(0, "ConformanceStage", "Second", WS_POPUP, 0, 0, 64, 48, nullptr,
                                  nullptr, nullptr, nullptr);
    result = dd->SetCooperativeLevel(window, exclusive);
    Report("object.exclusive-taken", "SetCooperativeLevel(another window, exclusive)", Name(result),
           "-");
    result = dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    Report("object.normal-without-window", "SetCooperativeLevel(null, DDSCL_NORMAL)", Name(result),
           "-");
    DestroyWindow(window);
    PumpMessages();

    // The object released while one of its surfaces is still held.
    made = nullptr;
    result = CreatePlain(dd, 64, 32, &made);
    Report("object.surface", "CreateSurface(64 x 32)", Name(result), "-");
    const ULONG left = dd->Release();
    std::string after = "-";
    if (made) {
        DDSURFACEDESC2 desc;
        ZeroMemory(&desc, sizeof desc);
        desc.dwSize = sizeof desc;
        const HRESULT locked = made->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        if (locked == DD_OK)
            made->Unlock(nullptr);
        after = "surface's lock " + Name(locked);
    }
    Report("object.release-before-surface", "Release(IDirectDraw4)", Count(left), after);
    if (made)
        Report("object.release-surface-last", "Release(surface)", Count(made->Release()), "-");
}

void WindowCases(Stage&) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = OtherProc;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "ConformanceOther";
    const ATOM atom = RegisterClassExA(&windowClass);
    Report("window.register", "RegisterClassExA", atom ? "an atom" : "0", "-");
    Report("window.register-again", "RegisterClassExA",
           RegisterClassExA(&windowClass) ? "an atom" : "0", "-");
    Report("window.cursor", "LoadCursorA(IDC_ARROW)", windowClass.hCursor ? "a cursor" : "null",
           "-");

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
