// The objects behind the port's DirectDraw interfaces and device contexts. Private to port/.
#ifndef VANTOREL_PORT_INTERNAL_H
#define VANTOREL_PORT_INTERNAL_H

#include <ddraw.h>
#include <windows.h>

#include "host.h"

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

struct PortSurface;

namespace port {
// Surface memory comes from calloc: zero (black) pages that cost nothing until written.
struct FreeMemory {
    void operator()(BYTE* memory) const { std::free(memory); }
};
} // namespace port

// A surface's device context: GDI state plus the surface it draws into.
struct PortDC {
    PortSurface* surface = nullptr;
    COLORREF textColour = 0x00000000;
    COLORREF bkColour = 0x00FFFFFF;
    int bkMode = OPAQUE;
};

// One DirectDraw object; both interfaces are views of it, each with its own reference count.
// The object goes when both counts reach zero; each of its surfaces holds an IDirectDraw4 one.
struct PortDirectDraw : IDirectDraw, IDirectDraw4 {
    ULONG refs = 1;  // IDirectDraw references
    ULONG refs4 = 0; // IDirectDraw4 references
    HWND cooperativeWindow = nullptr;
    DWORD cooperativeFlags = 0;
    // Whether the screen is in the mode this object set, rather than the desktop's.
    bool modeSet = false;
    DWORD modeWidth = 0, modeHeight = 0;
};

// One surface in ordinary memory, 16-bit 5-6-5 pixels, rows `pitch` bytes apart.
struct PortSurface : IDirectDrawSurface4 {
    ULONG refs = 1;
    PortDirectDraw* owner = nullptr;
    DWORD caps = 0;
    DWORD width = 0;
    DWORD height = 0;
    LONG pitch = 0;
    std::unique_ptr<BYTE, port::FreeMemory> memory;
    size_t bytes = 0;
    bool lost = false;
    bool locked = false;
    bool dcHeld = false;
    PortDC dc;
    // Flipping chain: the primary owns its back buffer, which points back at it. The back
    // buffer's first reference is the chain's (GetAttachedSurface hands out more); the chain is
    // freed once the program holds neither page.
    PortSurface* backBuffer = nullptr;
    PortSurface* chainHead = nullptr;
    // Whether the front shows the page it was made with, the one GDI draws on.
    bool gdiPageShown = true;

    WORD* Row(LONG y) {
        return reinterpret_cast<WORD*>(memory.get() + static_cast<size_t>(y) * pitch);
    }
};

inline PortDirectDraw* Impl(IDirectDraw* p) {
    return static_cast<PortDirectDraw*>(p);
}
inline PortDirectDraw* Impl(IDirectDraw4* p) {
    return static_cast<PortDirectDraw*>(p);
}
inline PortSurface* Impl(IDirectDrawSurface4* p) {
    return static_cast<PortSurface*>(p);
}
inline PortDC* Impl(HDC dc) {
    return reinterpret_cast<PortDC*>(dc);
}
inline HDC Handle(PortDC* dc) {
    return reinterpret_cast<HDC>(dc);
}

// COLORREF (0x00BBGGRR) to a 5-6-5 pixel, by truncation as the display driver converts it.
inline WORD ToPixel565(COLORREF c) {
    DWORD r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return static_cast<WORD>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

namespace port {
// Module resets and counters behind PortReset and PortLiveObjects.
void ResetWindows();
void ResetDirectDraw();
int LiveDirectDrawObjects();

// A pointer or handle as a call's integer argument.
inline long long Arg(const void* pointer) {
    return static_cast<long long>(reinterpret_cast<intptr_t>(pointer));
}

// Entry check of a named call made on `object`: 0 to go on, or the failure to return.
inline long Enter(const char* name, const void* object = nullptr,
                  std::initializer_list<long long> args = {}, const char* text = nullptr,
                  const char* text2 = nullptr) {
    PortCall call = {name, object, {}, {text, text2}};
    size_t i = 0;
    for (long long arg : args)
        if (i < std::size(call.args))
            call.args[i++] = arg;
    return PortGetHost().enter(call);
}

// Entry check of a DirectDraw call: DD_OK to go on, or the HRESULT to return.
inline HRESULT Refused(const char* name, const void* object,
                       std::initializer_list<long long> args = {}) {
    return static_cast<HRESULT>(Enter(name, object, args));
}

// The most memory one surface gets: about what a 32-bit process finds in one piece, where a
// real driver's 512 MiB surface locks and a 1 GiB one does not.
constexpr uint64_t MaxSurfaceBytes = 768ull << 20;

// Surfaces (surface.cpp). CreateSurface makes them through these; ddraw.cpp walks them.
HRESULT NewPlainSurface(PortDirectDraw* owner, DWORD caps, DWORD width, DWORD height,
                        PortSurface** out);
HRESULT NewFlippingChain(PortDirectDraw* owner, DWORD width, DWORD height, PortSurface** out);
// Flip and FlipToGDISurface: swaps the chain's pages and presents the new front one.
HRESULT FlipPages(PortSurface* front);
const std::vector<PortSurface*>& LiveSurfaces();
// Whether another program holds the screen (from PortTakeDisplay to PortGiveDisplay).
bool DisplayTaken();
// Called by DestroyWindow. As on the real platform, the window that held the exclusive level
// takes the screen with it: the desktop's mode comes back and every surface is lost, as when
// another program takes the screen, for good.
void WindowDestroyed(HWND window);
// Called by CreateWindowExA (and the reset): the window's style and size, which GetClientRect
// answers until SetWindowPos changes them (windowed.cpp).
void WindowMade(DWORD style, int width, int height);
// A surface `owner` made is gone: the reference it held on the object is given back.
void SurfaceGone(PortDirectDraw* owner);
void FreeAllSurfaces();
} // namespace port

#endif
