// What the game's windowed display calls: the window's style and size, and GDI's copy of the
// back buffer into it. The host draws the frame and scales the page into the window itself,
// so the port keeps the sizes the program gave and hands each copied page to the host.
#include <windows.h>

#include "host.h"
#include "internal.h"

namespace {

struct Frame {
    DWORD style = 0;
    int width = 0;
    int height = 0;
    bool dcOut = false;
    int stretchMode = 1; // BLACKONWHITE, GDI's default
};

Frame frame;

// The window's device context: a handle of its own, never a surface's.
PortDC windowContext;

bool IsWindowContext(HDC dc) {
    return dc == Handle(&windowContext) && frame.dcOut;
}

// A surface's context that GetDC handed out and ReleaseDC has not taken back.
PortSurface* HeldSurface(HDC handle) {
    PortDC* dc = Impl(handle);
    if (!dc || dc == &windowContext || !dc->surface || !dc->surface->dcHeld)
        return nullptr;
    return dc->surface;
}

} // namespace

LONG SetWindowLongA(HWND window, int index, LONG value) {
    if (port::Enter("SetWindowLongA", window, {index, value}) || !window || index != GWL_STYLE)
        return 0;
    const LONG previous = static_cast<LONG>(frame.style);
    frame.style = static_cast<DWORD>(value);
    return previous;
}

BOOL SetWindowPos(HWND window, HWND after, int x, int y, int width, int height, UINT flags) {
    if (port::Enter("SetWindowPos", window, {port::Arg(after), x, y, width, height, flags}) ||
        !window || width < 0 || height < 0)
        return FALSE;
    frame.width = width;
    frame.height = height;
    PortGetHost().frameWindow((frame.style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW, width,
                              height);
    return TRUE;
}

// The host's frame lies outside the size it is given: the window's size is its client area's.
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (port::Enter("AdjustWindowRectEx", nullptr, {style, menu, exStyle}) || !rect)
        return FALSE;
    return TRUE;
}

// The port knows no screen of its own: 0, as Windows answers an index it does not know. The
// host centres the window.
int GetSystemMetrics(int index) {
    port::Enter("GetSystemMetrics", nullptr, {index});
    return 0;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (port::Enter("GetClientRect", window) || !window || !rect)
        return FALSE;
    *rect = {0, 0, frame.width, frame.height};
    return TRUE;
}

HDC GetDC(HWND window) {
    if (port::Enter("GetDC", window) || !window || frame.dcOut)
        return nullptr;
    frame.dcOut = true;
    return Handle(&windowContext);
}

int ReleaseDC(HWND window, HDC dc) {
    if (port::Enter("ReleaseDC", window, {port::Arg(dc)}) || !IsWindowContext(dc))
        return 0;
    frame.dcOut = false;
    return 1;
}

int SetStretchBltMode(HDC dc, int mode) {
    if (port::Enter("SetStretchBltMode", dc, {mode}) || !IsWindowContext(dc) || mode < 1 ||
        mode > 4)
        return 0;
    const int previous = frame.stretchMode;
    frame.stretchMode = mode;
    return previous;
}

// A whole surface copied into the window: the host shows it as a page.
BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop) {
    if (port::Enter("StretchBlt", target,
                    {x, y, width, height, port::Arg(source), sourceX, sourceY, sourceWidth,
                     sourceHeight, rop}))
        return FALSE;
    PortSurface* page = HeldSurface(source);
    if (!IsWindowContext(target) || !page || rop != SRCCOPY || sourceX != 0 || sourceY != 0 ||
        sourceWidth != static_cast<int>(page->width) ||
        sourceHeight != static_cast<int>(page->height))
        return FALSE;
    PortGetHost().present(page->Row(0), page->pitch, static_cast<int>(page->width),
                          static_cast<int>(page->height));
    return TRUE;
}

// The bars beside the picture: the host keeps them black.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (port::Enter("PatBlt", dc, {x, y, width, height, rop}) || !IsWindowContext(dc) ||
        rop != BLACKNESS)
        return FALSE;
    return TRUE;
}

namespace port {

void WindowMade(DWORD style, int width, int height) {
    frame = Frame();
    frame.style = style;
    frame.width = width;
    frame.height = height;
}

} // namespace port
