// The seam between the Win32 subset and whatever runs it: SDL2 for play, the scripted host
// for tests. A host fills a PortHost and installs it with PortSetHost before WinMain runs.
#ifndef VANTOREL_PORT_HOST_H
#define VANTOREL_PORT_HOST_H

#include <windows.h>

struct PortHost {
    // timeGetTime: milliseconds, wrapping at 2^32.
    DWORD (*now)();
    // GetAsyncKeyState: whether the virtual key is held right now.
    bool (*keyDown)(int vk);
    // MessageBoxA: modal; returns the button pressed (IDOK).
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT style);
    // CreateWindowExA / DestroyWindow of the one top-level window.
    bool (*openWindow)(const char* caption, int width, int height);
    void (*closeWindow)();
    // ShowCursor, with the display counter's new visibility.
    void (*showCursor)(bool visible);
    // PeekMessageA, before it looks at the queue: take the host's own events. A close request
    // is passed on with PortCloseRequest().
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
    long (*enter)(const char* call);
};

// Installs a host; nullptr puts back the null host (clock 0, no keys, boxes answered at once).
void PortSetHost(const PortHost* host);
const PortHost& PortGetHost();

// Called by a host: the user asked to close the window (posts WM_CLOSE to it).
void PortCloseRequest();
// Called by a host: the display was taken away; every surface is lost until restored.
void PortLoseSurfaces();
// Called by a host: forget all windows, messages, classes and DirectDraw objects (tests).
void PortReset();
// DirectDraw objects and surfaces still alive: 0 once the program has released everything.
int PortLiveObjects();

namespace port {
// Entry check of a named call: 0 to go on, or the failure to return.
inline long Enter(const char* call) {
    return PortGetHost().enter(call);
}
} // namespace port

#endif
