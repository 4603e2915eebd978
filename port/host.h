// The seam between the Win32 subset and whatever runs it: SDL2 for play, the scripted host for
// tests. A host fills a PortHost and installs it with PortSetHost before WinMain runs.
#ifndef VANTOREL_PORT_HOST_H
#define VANTOREL_PORT_HOST_H

#include <windows.h>

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

struct PortHost {
    // timeGetTime: milliseconds, wrapping at 2^32.
    DWORD (*now)();
    // Sleep: gives up the processor for about this long.
    void (*sleep)(DWORD ms);
    // GetAsyncKeyState: whether the virtual key is held right now.
    bool (*keyDown)(int vk);
    // MessageBoxA: modal; returns the button pressed (IDOK).
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT style);
    // CreateWindowExA / DestroyWindow of the one top-level window.
    bool (*openWindow)(const char* caption, int width, int height);
    void (*closeWindow)();
    // ShowCursor, with the display counter's new visibility.
    void (*showCursor)(bool visible);
    // PeekMessageA, before it looks at the queue: take the host's own events, passing them on
    // through host_calls.h.
    void (*pumpEvents)();
    // SetDisplayMode / the release of the exclusive mode.
    bool (*setDisplayMode)(int width, int height, int bitsPerPixel);
    void (*restoreDisplayMode)();
    // Bytes per row for a new surface of this width (at least twice the width).
    LONG (*surfacePitch)(DWORD width);
    // Flip: show this 5-6-5 page. Pacing (vsync) happens here.
    void (*present)(const WORD* pixels, LONG pitch, int width, int height);
    // Every named platform call passes through here first: 0 lets it go on, anything else is
    // the failure it returns instead (an HRESULT for DirectDraw, any non-zero for Win32 calls).
    long (*enter)(const PortCall& call);
    // GetForegroundWindow: whether the game's window is the one in front, taking the keys.
    bool (*inFront)();
};

// Installs a host; nullptr puts back the null host (clock 0, no keys, boxes answered at once).
void PortSetHost(const PortHost* host);
const PortHost& PortGetHost();

#endif
