// DirectDrawCreate and the DirectDraw object: interfaces, cooperative level, display mode,
// surface creation and the screen's loss. The game's own arguments are trusted; what the real
// platform answers to its calls, the port answers with the same code.
#include <windows.h>
#include <ddraw.h>

#include "internal.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

const IID IID_IDirectDraw4 = {
    0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};

namespace {

std::vector<PortDirectDraw*> objects;

// Another program holds the screen.
bool displayTaken = false;

// Called when an interface count drops: once both are zero the object goes with its surfaces,
// and the screen goes back to the desktop's mode.
ULONG DropReference(PortDirectDraw* dd, ULONG& count) {
    const ULONG left = --count;
    if (dd->refs || dd->refs4)
        return left;
    if (dd->modeSet)
        port::Host().restoreDisplayMode();
    port::FreeSurfaces(dd);
    objects.erase(std::find(objects.begin(), objects.end(), dd));
    delete dd;
    return left;
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
        port::LoseSurfaces(dd);
    }
    if (modeShown)
        port::Host().restoreDisplayMode();
}

} // namespace

HRESULT WINAPI DirectDrawCreate(GUID*, LPDIRECTDRAW* out, IUnknown*) {
    if (const HRESULT refused = port::Refused(__func__))
        return refused;
    PortDirectDraw* dd = new (std::nothrow) PortDirectDraw;
    if (!dd)
        return DDERR_OUTOFMEMORY;
    objects.push_back(dd);
    *out = dd;
    return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, LPVOID* out) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    if (std::memcmp(&iid, &IID_IDirectDraw4, sizeof(IID)) != 0)
        return E_NOINTERFACE;
    PortDirectDraw* dd = Impl(this);
    ++dd->refs4;
    *out = static_cast<IDirectDraw4*>(dd);
    return DD_OK;
}

// Each release is recorded for their order; a release cannot fail.
ULONG IDirectDraw::Release() {
    port::Enter(__func__, this);
    return DropReference(Impl(this), Impl(this)->refs);
}
ULONG IDirectDraw4::Release() {
    port::Enter(__func__, this);
    return DropReference(Impl(this), Impl(this)->refs4);
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    if (const HRESULT refused = port::Refused(__func__, this, {port::Arg(window), flags}))
        return refused;
    Impl(this)->cooperativeWindow = window;
    return DD_OK;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD, DWORD, DWORD) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    if (!port::Host().setDisplayMode(static_cast<int>(width), static_cast<int>(height)))
        return DDERR_UNSUPPORTED;
    // As on the real platform, setting a mode, even the one in force, takes every surface's
    // memory away.
    PortDirectDraw* dd = Impl(this);
    port::LoseSurfaces(dd);
    dd->modeSet = true;
    dd->modeWidth = width;
    dd->modeHeight = height;
    return DD_OK;
}

// The primary is the screen in its mode, with one back buffer to flip to.
HRESULT IDirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* out, IUnknown*) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    PortDirectDraw* dd = Impl(this);
    PortSurface* made = nullptr;
    const HRESULT result = (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE)
                               ? port::NewFlippingChain(dd, &made)
                               : port::NewSurface(dd, desc->dwWidth, desc->dwHeight, &made);
    if (SUCCEEDED(result))
        *out = made;
    return result;
}

// The game asks this at its exclusive level, where DD_OK means it may restore its surfaces.
HRESULT IDirectDraw4::TestCooperativeLevel() {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    return displayTaken ? DDERR_NOEXCLUSIVEMODE : DD_OK;
}

// Brings the page GDI draws on (the one the primary was made with) to the front, by one more
// flip when the other page is showing.
HRESULT IDirectDraw4::FlipToGDISurface() {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    PortSurface* primary = Impl(this)->primary;
    return primary->gdiPageShown ? DD_OK : port::FlipPages(primary);
}

void PortTakeDisplay() {
    TakeScreen();
}

void PortGiveDisplay() {
    displayTaken = false;
}

void PortLoseSurfaces() {
    for (PortDirectDraw* dd : objects)
        port::LoseSurfaces(dd);
}

int PortLiveObjects() {
    size_t live = objects.size();
    for (const PortDirectDraw* dd : objects)
        live += dd->surfaces.size();
    return static_cast<int>(live);
}

namespace port {

void WindowDestroyed(HWND window) {
    for (const PortDirectDraw* dd : objects)
        if (dd->cooperativeWindow == window) {
            TakeScreen();
            return;
        }
}

void ResetDirectDraw() {
    for (PortDirectDraw* dd : objects) {
        FreeSurfaces(dd);
        delete dd;
    }
    objects.clear();
    displayTaken = false;
    ResetSurfaceHooks();
}

} // namespace port
