// The seam between the Win32 subset and whatever runs it: SDL2 for play, the page in a browser,
// the scripted host for tests. A host fills a PortHost and runs the program with PortRunProgram;
// it tells the port of the world outside through the four calls at the end.
#ifndef VANTOREL_PORT_HOST_H
#define VANTOREL_PORT_HOST_H

#include <windows.h>
#include <xinput.h>

// A page of 16-bit 5-6-5 pixels: its first row and the bytes from one row to the next.
struct PortRows {
    BYTE* base;
    LONG pitch;
    WORD* Row(LONG y) const {
        return reinterpret_cast<WORD*>(base + static_cast<ptrdiff_t>(y) * pitch);
    }
};

struct PortHost {
    // timeGetTime: milliseconds, wrapping at 2^32.
    DWORD (*now)();
    // Sleep: gives up the processor for about this long.
    void (*sleep)(DWORD ms);
    // GetAsyncKeyState: whether the virtual key is held right now.
    bool (*keyDown)(int vk);
    // MessageBoxA: modal; returns the button pressed (IDOK).
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT style);
    // CreateWindowExA (the game's one window) / the window's destruction.
    bool (*openWindow)(const char* caption, int width, int height);
    void (*closeWindow)();
    // SetWindowPos after SetWindowLongA's style: a normal, resizable frame around a client
    // area of this size, or the borderless window again. The host places the window.
    void (*frameWindow)(bool framed, int width, int height);
    // ShowCursor, with the display counter's new visibility.
    void (*showCursor)(bool visible);
    // PeekMessageA, before it looks at the queue: takes the host's own events, passing them on
    // through the calls below. A host whose world sends none keeps the default.
    void (*pumpEvents)() = [] {};
    // SetDisplayMode, in 5-6-5 pixels / the release of the exclusive mode.
    bool (*setDisplayMode)(int width, int height);
    void (*restoreDisplayMode)();
    // Flip: shows this page, which is the size of the mode set, in step with the display where
    // it can (vsync); the game paces its flips itself.
    // Called only while the mode is on the screen, or by StretchBlt into the framed window:
    // the host then scales the page to the window with its shape kept.
    void (*present)(const PortRows& page, int width, int height);
    // GetForegroundWindow: whether the game's window is the one in front, taking the keys.
    bool (*inFront)();
    // XInputGetState: whether pad `user` (0 to 3) is plugged in, and if so the buttons the game
    // reads and its left stick across now, in XInput's terms.
    bool (*padState)(DWORD user, XINPUT_GAMEPAD& pad);
};

// The program's start on every host: installs `host`, runs the game's WinMain and takes the
// host away again. Returns WinMain's exit code.
int PortRunProgram(const PortHost& host, char* commandLine);

// Installs a host (the scripted host and the hosts' tests); nullptr leaves none.
void PortSetHost(const PortHost* host);

// The user asked to close the window: posts WM_CLOSE to it.
void PortCloseRequest();

// The user pressed Alt+Enter: posts WM_SYSKEYDOWN for Return, with Alt held, to the window.
void PortAltEnter();

// Another program took the screen: the desktop's mode is back, every surface is lost, and the
// exclusive level is out of reach until PortGiveDisplay.
void PortTakeDisplay();

// The other program let go and the game's window is in front again. The screen keeps the
// desktop's mode until the program sets its own again.
void PortGiveDisplay();

#endif
