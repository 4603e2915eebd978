// The seam between the Win32 subset and whatever runs it: SDL2 for play, the page in a browser,
// the scripted host for tests. A host sets the members where it differs from the defaults
// (no clock, no keys, no window manager, boxes answered at once) and runs the program with
// PortRunProgram.
#ifndef VANTOREL_PORT_HOST_H
#define VANTOREL_PORT_HOST_H

#include <windows.h>
#include <xinput.h>

// One platform call as it reaches the host: its name, the object it is made on (an interface,
// a window or a device context; null for a free function), its arguments as integers, and its
// string arguments. Arguments a call does not have are 0 or null. Strings end with a NUL, but
// for TextOutA's, which is as long as its length argument (args[2]) says.
struct PortCall {
    const char* name;
    const void* object;
    long long args[10];
    const char* text[2];
};

namespace portdefault {
DWORD Now();
void Sleep(DWORD ms);
bool KeyDown(int vk);
int MessageBox(HWND owner, const char* text, const char* caption, UINT style);
bool OpenWindow(const char* caption, int width, int height);
void Nothing();
void ShowCursor(bool visible);
bool SetDisplayMode(int width, int height, int bitsPerPixel);
LONG SurfacePitch(DWORD width);
void Present(const WORD* pixels, LONG pitch, int width, int height);
long Enter(const PortCall& call);
bool InFront();
bool NoPad(DWORD user, XINPUT_GAMEPAD& pad);
} // namespace portdefault

struct PortHost {
    // timeGetTime: milliseconds, wrapping at 2^32.
    DWORD (*now)() = portdefault::Now;
    // Sleep: gives up the processor for about this long.
    void (*sleep)(DWORD ms) = portdefault::Sleep;
    // GetAsyncKeyState: whether the virtual key is held right now.
    bool (*keyDown)(int vk) = portdefault::KeyDown;
    // MessageBoxA: modal; returns the button pressed (IDOK).
    int (*messageBox)(HWND owner, const char* text, const char* caption,
                      UINT style) = portdefault::MessageBox;
    // CreateWindowExA / the window's destruction.
    bool (*openWindow)(const char* caption, int width, int height) = portdefault::OpenWindow;
    void (*closeWindow)() = portdefault::Nothing;
    // ShowCursor, with the display counter's new visibility.
    void (*showCursor)(bool visible) = portdefault::ShowCursor;
    // PeekMessageA, before it looks at the queue: take the host's own events, passing them on
    // through host_calls.h.
    void (*pumpEvents)() = portdefault::Nothing;
    // SetDisplayMode / the release of the exclusive mode.
    bool (*setDisplayMode)(int width, int height, int bitsPerPixel) = portdefault::SetDisplayMode;
    void (*restoreDisplayMode)() = portdefault::Nothing;
    // Bytes per row for a new surface of this width (at least twice the width).
    LONG (*surfacePitch)(DWORD width) = portdefault::SurfacePitch;
    // Flip: show this 5-6-5 page, which is the size of the mode set. Pacing (vsync) happens
    // here. Called only while the mode is on the screen.
    void (*present)(const WORD* pixels, LONG pitch, int width, int height) = portdefault::Present;
    // Every named platform call passes through here first: 0 lets it go on, anything else is
    // the failure it returns instead (an HRESULT for DirectDraw, any non-zero for Win32 calls).
    long (*enter)(const PortCall& call) = portdefault::Enter;
    // GetForegroundWindow: whether the game's window is the one in front, taking the keys.
    bool (*inFront)() = portdefault::InFront;
    // XInputGetState: whether pad `user` (0 to 3) is plugged in, and if so the buttons the game
    // reads and its left stick across now, in XInput's terms.
    bool (*padState)(DWORD user, XINPUT_GAMEPAD& pad) = portdefault::NoPad;
};

// Installs a host; nullptr puts back the default one.
void PortSetHost(const PortHost* host);
const PortHost& PortGetHost();

// The program's start on every host: installs `host`, runs the game's WinMain and puts the
// default host back. Returns WinMain's exit code.
int PortRunProgram(const PortHost& host, char* commandLine);

#endif
