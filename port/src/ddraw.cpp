// DirectDrawCreate and the DirectDraw object: interfaces, cooperative level, display mode and
// surface creation. Every call checks its arguments in a fixed order and refuses what the
// real platform refuses, with the same code.
#include <windows.h>
#include <ddraw.h>

#include "host.h"
#include "host_calls.h"
#include "internal.h"
#include "test_hooks.h"

#include <algorithm>
#include <new>
#include <vector>

const IID IID_IDirectDraw4 = {
    0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};

namespace {

std::vector<PortDirectDraw*> objects;

// Another program holds the screen.
bool displayTaken = false;

bool SameIid(const IID& a, const IID& b) {
    return std::memcmp(&a, &b, sizeof(IID)) == 0;
}

bool Exclusive(const PortDirectDraw* dd) {
    return (dd->cooperativeFlags & DDSCL_EXCLUSIVE) != 0;
}

// Called when an interface count drops: the object goes once both are zero, which is never
// while a surface it made is alive (each holds one of its IDirectDraw4 references). The screen
// goes back to the desktop's mode.
void ReleaseObject(PortDirectDraw* dd) {
    if (dd->refs || dd->refs4)
        return;
    if (dd->modeSet)
        PortGetHost().restoreDisplayMode();
    objects.erase(std::find(objects.begin(), objects.end(), dd));
    delete dd;
}

ULONG DropReference(PortDirectDraw* dd, void* view, ULONG& count) {
    port::Enter("Release", view); // recorded for the order of releases; a release cannot fail
    if (count == 0)
        return 0; // released once too often: nothing is left to give back
    const ULONG left = --count;
    ReleaseObject(dd);
    return left;
}

// The game's primary: the screen in its mode, with one back buffer to flip to.
HRESULT CreatePrimary(PortDirectDraw* dd, const DDSURFACEDESC2& desc, DWORD caps,
                      PortSurface** out) {
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT))
        return DDERR_INVALIDPARAMS; // a primary is the screen: it takes the mode's size
    const bool backBuffers = (desc.dwFlags & DDSD_BACKBUFFERCOUNT) && desc.dwBackBufferCount;
    if (!(caps & DDSCAPS_FLIP) && !backBuffers)
        return DDERR_UNSUPPORTED; // the port's screen is always a flipping chain
    if (!(caps & DDSCAPS_FLIP) || !(caps & DDSCAPS_COMPLEX) || !backBuffers)
        return DDERR_INVALIDCAPS;
    if (!Exclusive(dd))
        return DDERR_NOEXCLUSIVEMODE;
    // Two pages only; and no desktop of the port's own whose size a primary could take.
    if (desc.dwBackBufferCount > 1 || !dd->modeSet)
        return DDERR_UNSUPPORTED;
    return port::NewFlippingChain(dd, dd->modeWidth, dd->modeHeight, out);
}

// The screen goes back to the desktop and its mode; every surface is lost.
void TakeScreen() {
    if (displayTaken)
        return;
    displayTaken = true;
    bool modeShown = false;
    for (PortDirectDraw* dd : objects) {
        modeShown |= dd->modeSet;
        dd->modeSet = false;
    }
    if (modeShown)
        PortGetHost().restoreDisplayMode();
    PortLoseSurfaces();
}

} // namespace

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* out, IUnknown* outer) {
    if (const HRESULT refused = port::Refused(
            "DirectDrawCreate", nullptr, {port::Arg(driver), port::Arg(out), port::Arg(outer)})) {
        if (out)
            *out = nullptr;
        return refused;
    }
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    PortDirectDraw* dd = new (std::nothrow) PortDirectDraw;
    if (!dd)
        return DDERR_OUTOFMEMORY;
    objects.push_back(dd);
    *out = dd;
    return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, LPVOID* out) {
    if (const HRESULT refused =
            port::Refused("QueryInterface", this, {iid.Data1, port::Arg(out)})) {
        if (out)
            *out = nullptr;
        return refused;
    }
    if (!out)
        return DDERR_INVALIDPARAMS;
    PortDirectDraw* dd = Impl(this);
    if (SameIid(iid, IID_IDirectDraw4)) {
        ++dd->refs4;
        *out = static_cast<IDirectDraw4*>(dd);
        return DD_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG IDirectDraw::Release() {
    return DropReference(Impl(this), this, Impl(this)->refs);
}
ULONG IDirectDraw4::Release() {
    return DropReference(Impl(this), this, Impl(this)->refs4);
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    if (const HRESULT refused =
            port::Refused("SetCooperativeLevel", this, {port::Arg(window), flags}))
        return refused;
    const bool normal = (flags & DDSCL_NORMAL) != 0;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    const bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    // Exactly one of normal and exclusive; exclusive goes with full-screen and a window.
    if (normal == exclusive || exclusive != fullScreen || (exclusive && !window))
        return DDERR_INVALIDPARAMS;
    PortDirectDraw* dd = Impl(this);
    dd->cooperativeWindow = window;
    dd->cooperativeFlags = flags;
    return DD_OK;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate,
                                     DWORD flags) {
    if (const HRESULT refused =
            port::Refused("SetDisplayMode", this, {width, height, bpp, refreshRate, flags}))
        return refused;
    PortDirectDraw* dd = Impl(this);
    if (!dd->cooperativeFlags)
        return DDERR_NOCOOPERATIVELEVELSET;
    if (displayTaken)
        return DDERR_NOEXCLUSIVEMODE; // the screen is another program's until it lets go
    // The port's display offers one mode, the game's, in 5-6-5 pixels.
    if (width != 800 || height != 600 || bpp != 16)
        return DDERR_UNSUPPORTED;
    if (!PortGetHost().setDisplayMode(static_cast<int>(width), static_cast<int>(height), 16))
        return DDERR_UNSUPPORTED;
    // As on the real platform, setting a mode, even the one in force, takes every surface's
    // memory away.
    PortLoseSurfaces();
    dd->modeSet = true;
    dd->modeWidth = width;
    dd->modeHeight = height;
    return DD_OK;
}

HRESULT IDirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* out,
                                    IUnknown* outer) {
    const DDSURFACEDESC2 none = {};
    const DDSURFACEDESC2& asked = desc ? *desc : none;
    if (const HRESULT refused =
            port::Refused("CreateSurface", this,
                          {asked.dwFlags, asked.ddsCaps.dwCaps, asked.dwWidth, asked.dwHeight,
                           asked.dwBackBufferCount, port::Arg(outer)})) {
        if (out)
            *out = nullptr;
        return refused;
    }
    if (!desc || !out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    PortDirectDraw* dd = Impl(this);
    if (!dd->cooperativeFlags)
        return DDERR_NOCOOPERATIVELEVELSET;
    const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if (caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER))
        return DDERR_INVALIDCAPS; // only a chain makes these, as its pages
    // Every surface here is 5-6-5: a format asked for by name must be that one.
    const DDPIXELFORMAT& format = desc->ddpfPixelFormat;
    if ((desc->dwFlags & DDSD_PIXELFORMAT) &&
        (format.dwSize != sizeof(DDPIXELFORMAT) || format.dwFlags != DDPF_RGB ||
         format.dwRGBBitCount != 16 || format.dwRBitMask != 0xF800 || format.dwGBitMask != 0x07E0 ||
         format.dwBBitMask != 0x001F))
        return DDERR_INVALIDPIXELFORMAT;

    PortSurface* made = nullptr;
    HRESULT result;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        result = CreatePrimary(dd, *desc, caps, &made);
    } else {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        if (caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX))
            return DDERR_UNSUPPORTED; // the port flips the screen only
        result = port::NewPlainSurface(dd, caps, desc->dwWidth, desc->dwHeight, &made);
    }
    if (FAILED(result))
        return result;
    // As on the real platform, a surface made through IDirectDraw4 keeps the object alive.
    ++dd->refs4;
    *out = made;
    return DD_OK;
}

// The game asks this at its exclusive level, where DD_OK means it may restore its surfaces.
HRESULT IDirectDraw4::TestCooperativeLevel() {
    if (const HRESULT refused = port::Refused("TestCooperativeLevel", this))
        return refused;
    return displayTaken ? DDERR_NOEXCLUSIVEMODE : DD_OK;
}

// Brings the page GDI draws on (the one the primary was made with) to the front, by one more
// flip when the other page is showing.
HRESULT IDirectDraw4::FlipToGDISurface() {
    if (const HRESULT refused = port::Refused("FlipToGDISurface", this))
        return refused;
    for (PortSurface* s : port::LiveSurfaces()) {
        if (s->owner != Impl(this) || !s->backBuffer)
            continue;
        if (s->lost || s->backBuffer->lost)
            return DDERR_SURFACELOST;
        return s->gdiPageShown ? DD_OK : port::FlipPages(s);
    }
    return DDERR_NOTFOUND;
}

void PortTakeDisplay() {
    TakeScreen();
}

void PortGiveDisplay() {
    displayTaken = false;
}

namespace port {

void WindowDestroyed(HWND window) {
    for (const PortDirectDraw* dd : objects)
        if (Exclusive(dd) && dd->cooperativeWindow == window) {
            TakeScreen();
            return;
        }
}

void SurfaceGone(PortDirectDraw* owner) {
    if (owner->refs4 > 0)
        --owner->refs4;
    ReleaseObject(owner);
}

bool DisplayTaken() {
    return displayTaken;
}

void ResetDirectDraw() {
    FreeAllSurfaces();
    for (PortDirectDraw* dd : objects)
        delete dd;
    objects.clear();
    displayTaken = false;
}

int LiveDirectDrawObjects() {
    return static_cast<int>(objects.size() + LiveSurfaces().size());
}

} // namespace port
