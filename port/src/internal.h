// The objects behind the port's DirectDraw interfaces and device contexts. Private to port/.
#ifndef VANTOREL_PORT_INTERNAL_H
#define VANTOREL_PORT_INTERNAL_H

#include <ddraw.h>
#include <windows.h>

#include "host.h"
#include "test_hooks.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

struct PortSurface;

// A surface's device context: GDI state plus the surface it draws into.
struct PortDC {
    PortSurface* surface = nullptr;
    COLORREF textColour = 0x00000000;
    COLORREF bkColour = 0x00FFFFFF;
    int bkMode = OPAQUE;
};

// One DirectDraw object; both interfaces are views of it, each with its own reference count.
// The object goes when both counts reach zero, and takes the surfaces it made with it.
struct PortDirectDraw : IDirectDraw, IDirectDraw4 {
    ULONG refs = 1;  // IDirectDraw references
    ULONG refs4 = 0; // IDirectDraw4 references
    HWND cooperativeWindow = nullptr;
    // Whether the screen is in the mode this object set, rather than the desktop's.
    bool modeSet = false;
    DWORD modeWidth = 0, modeHeight = 0;
    std::vector<PortSurface*> surfaces;
    PortSurface* primary = nullptr;
};

namespace port {
// Surface memory comes from calloc: zero (black) pages that cost nothing until written.
struct FreeMemory {
    void operator()(BYTE* memory) const { std::free(memory); }
};
} // namespace port

// One surface in ordinary memory, 16-bit 5-6-5 pixels, rows `pitch` bytes apart.
struct PortSurface : IDirectDrawSurface4 {
    ULONG refs = 1;
    PortDirectDraw* owner = nullptr;
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

    PortRows Rows() const { return {memory.get(), pitch}; }
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

namespace port {
// The installed host, and the tests' call hook (host.cpp).
const PortHost& Host();
long (*CallHook())(const PortCall&);

// A pointer or handle as a call's integer argument.
inline long long Arg(const void* pointer) {
    return static_cast<long long>(reinterpret_cast<intptr_t>(pointer));
}

// Entry check of a named call (__func__) made on `object`: 0 to go on, or the failure the
// tests' hook makes it return.
inline long Enter(const char* name, const void* object = nullptr,
                  std::initializer_list<long long> args = {},
                  std::initializer_list<std::string_view> text = {}) {
    long (*hook)(const PortCall&) = CallHook();
    if (!hook)
        return 0;
    PortCall call = {name, object, {}, {}};
    std::copy(args.begin(), args.end(), call.args);
    std::copy(text.begin(), text.end(), call.text);
    return hook(call);
}

// The same for a DirectDraw call: DD_OK to go on, or the HRESULT to return.
inline HRESULT Refused(const char* name, const void* object = nullptr,
                       std::initializer_list<long long> args = {}) {
    return static_cast<HRESULT>(Enter(name, object, args));
}

// Surfaces (surface.cpp), for ddraw.cpp. CreateSurface: a plain surface, black.
HRESULT NewSurface(PortDirectDraw* owner, DWORD width, DWORD height, PortSurface** out);
// CreateSurface: the primary and its back buffer, in the mode's size; the owner's primary.
HRESULT NewFlippingChain(PortDirectDraw* owner, PortSurface** out);
// Flip and FlipToGDISurface: swaps the chain's pages and presents the new front one.
HRESULT FlipPages(PortSurface* front);
// SetDisplayMode and the screen's loss: every surface of the owner loses its memory.
void LoseSurfaces(PortDirectDraw* owner);
// The object's last Release and PortReset: frees every surface it made.
void FreeSurfaces(PortDirectDraw* owner);
// PortReset: no pitch padding, the honest Lock.
void ResetSurfaceHooks();

// DirectDraw objects (ddraw.cpp), for window.cpp. DestroyWindow: as on the real platform, the
// window that holds the exclusive level takes the screen with it, for good.
void WindowDestroyed(HWND window);
// PortReset: no DirectDraw objects, the screen the program's.
void ResetDirectDraw();
} // namespace port

#endif
