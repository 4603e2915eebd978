// Surfaces: ordinary memory of 16-bit 5-6-5 pixels, rows as far apart as the host says. The
// primary and its back buffer form a flipping chain whose pages Flip swaps and presents.
// A surface is busy while it is locked or its device context is out, and lost from
// PortLoseSurfaces until Restore; each call refuses those states as the real one does.
#include <windows.h>
#include <ddraw.h>

#include "host.h"
#include "internal.h"
#include "pixels.h"
#include "test_hooks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

std::vector<PortSurface*> live;

void (*lockHook)(DDSURFACEDESC2&) = nullptr;

bool Busy(const PortSurface* s) {
    return s->locked || s->dcHeld;
}

RECT Whole(const PortSurface* s) {
    return {0, 0, static_cast<LONG>(s->width), static_cast<LONG>(s->height)};
}

// Right and bottom are exclusive: an empty rectangle is as wrong as an inverted one.
bool Ordered(const RECT& r) {
    return r.left < r.right && r.top < r.bottom;
}

bool Inside(const RECT& r, const PortSurface* s) {
    return r.left >= 0 && r.top >= 0 && int64_t{r.right} <= int64_t{s->width} &&
           int64_t{r.bottom} <= int64_t{s->height};
}

port::PixelRows Rows(PortSurface* s) {
    return {s->memory.get(), s->pitch};
}

void Blacken(PortSurface* s) {
    std::memset(s->memory.get(), 0, s->bytes);
}

void Free(PortSurface* s) {
    live.erase(std::find(live.begin(), live.end(), s));
    delete s;
}

// A surface, or a chain with both its pages, goes once the program holds no reference to it,
// and gives back the reference it held on its DirectDraw object. The chain holds one reference
// to its back buffer itself. Kept on purpose: a back buffer the program still holds keeps the
// whole chain, so its interface never dangles.
void FreeIfUnused(PortSurface* head) {
    PortSurface* back = head->backBuffer;
    if (head->refs || (back && back->refs > 1))
        return;
    PortDirectDraw* owner = head->owner;
    if (back)
        Free(back);
    Free(head);
    port::SurfaceGone(owner);
}

// Makes a surface whose rows start on four-byte boundaries, in new memory, which is black. The
// size is worked out in 32 bits, as a real driver does: one that comes to no bytes at all is
// refused (a side of 0, or 65536 x 65536). One that finds no memory in one piece is refused too
// (the game's loader never asks for such a size).
HRESULT Allocate(PortDirectDraw* owner, DWORD caps, DWORD width, DWORD height, PortSurface** out) {
    *out = nullptr;
    const uint64_t tight = uint64_t{width} * sizeof(WORD);
    uint64_t pitch = static_cast<uint64_t>(
        std::max<int64_t>(PortGetHost().surfacePitch(width), static_cast<int64_t>(tight)));
    pitch = (pitch + 3) & ~uint64_t{3};
    if (!width || !height || static_cast<uint32_t>(pitch) * height == 0)
        return DDERR_INVALIDPARAMS;
    if (pitch > port::MaxSurfaceBytes / height)
        return DDERR_OUTOFMEMORY;
    PortSurface* s = new (std::nothrow) PortSurface;
    if (!s)
        return DDERR_OUTOFMEMORY;
    s->owner = owner;
    s->caps = caps;
    s->width = width;
    s->height = height;
    s->bytes = static_cast<size_t>(pitch * height);
    s->memory.reset(static_cast<BYTE*>(std::calloc(s->bytes, 1)));
    s->pitch = static_cast<LONG>(pitch);
    if (!s->memory) {
        delete s;
        return DDERR_OUTOFMEMORY;
    }
    live.push_back(s);
    *out = s;
    return DD_OK;
}

// Restore of one surface's chain: clears the lost state and blackens the pages.
void RestoreChain(PortSurface* surface) {
    PortSurface* head = surface->chainHead ? surface->chainHead : surface;
    for (PortSurface* s : {head, head->backBuffer}) {
        if (s && s->lost) {
            s->lost = false;
            Blacken(s); // what a lost surface held is gone
        }
    }
}

} // namespace

namespace port {

HRESULT NewPlainSurface(PortDirectDraw* owner, DWORD caps, DWORD width, DWORD height,
                        PortSurface** out) {
    return Allocate(owner, caps, width, height, out);
}

HRESULT NewFlippingChain(PortDirectDraw* owner, DWORD width, DWORD height, PortSurface** out) {
    const DWORD chain = DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    PortSurface* front = nullptr;
    PortSurface* back = nullptr;
    HRESULT result = Allocate(owner, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | chain, width,
                              height, &front);
    if (FAILED(result))
        return result;
    result = Allocate(owner, DDSCAPS_BACKBUFFER | chain, width, height, &back);
    if (FAILED(result)) {
        Free(front);
        return result;
    }
    back->chainHead = front; // its one reference is the chain's
    front->backBuffer = back;
    *out = front;
    return DD_OK;
}

HRESULT FlipPages(PortSurface* front) {
    PortSurface* back = front->backBuffer;
    if (!(front->owner->cooperativeFlags & DDSCL_EXCLUSIVE))
        return DDERR_NOEXCLUSIVEMODE;
    if (front->lost || back->lost)
        return DDERR_SURFACELOST;
    if (Busy(front) || Busy(back))
        return DDERR_SURFACEBUSY;
    // The interfaces keep their places; the pages under them change over.
    std::swap(front->memory, back->memory);
    front->gdiPageShown = !front->gdiPageShown;
    if (front->owner->modeSet)
        PortGetHost().present(front->Row(0), front->pitch, static_cast<int>(front->width),
                              static_cast<int>(front->height));
    return DD_OK;
}

const std::vector<PortSurface*>& LiveSurfaces() {
    return live;
}

void FreeAllSurfaces() {
    for (PortSurface* s : live)
        delete s;
    live.clear();
    lockHook = nullptr;
}

} // namespace port

void PortSetLockHook(void (*hook)(DDSURFACEDESC2&)) {
    lockHook = hook;
}

void PortLoseSurfaces() {
    for (PortSurface* s : live)
        s->lost = true;
}

ULONG IDirectDrawSurface4::Release() {
    port::Enter("Release", this); // recorded for the order of releases; a release cannot fail
    PortSurface* s = Impl(this);
    // Released once too often: nothing is left to give back, and the chain keeps its own.
    const ULONG kept = s->chainHead ? 1 : 0;
    if (s->refs <= kept)
        return 0;
    const ULONG left = --s->refs;
    FreeIfUnused(s->chainHead ? s->chainHead : s);
    return left;
}

HRESULT IDirectDrawSurface4::GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* out) {
    if (const HRESULT refused =
            port::Refused("GetAttachedSurface", this, {caps ? caps->dwCaps : 0, port::Arg(out)})) {
        if (out)
            *out = nullptr;
        return refused;
    }
    if (!caps || !out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    // In a chain of two each page is attached to the other.
    PortSurface* s = Impl(this);
    PortSurface* attached = s->backBuffer ? s->backBuffer : s->chainHead;
    if (!attached || (attached->caps & caps->dwCaps) != caps->dwCaps)
        return DDERR_NOTFOUND;
    ++attached->refs;
    *out = attached;
    return DD_OK;
}

HRESULT IDirectDrawSurface4::Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) {
    if (const HRESULT refused = port::Refused("Flip", this, {port::Arg(target), flags}))
        return refused;
    PortSurface* front = Impl(this);
    PortSurface* back = front->backBuffer;
    if (!back)
        return DDERR_NOTFLIPPABLE; // only the front of a chain flips
    if (target && Impl(target) != back)
        return DDERR_NOTFLIPPABLE; // the only page it can flip to is its back buffer
    return port::FlipPages(front);
}

HRESULT IDirectDrawSurface4::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect,
                                 DWORD flags, LPDDBLTFX fx) {
    const RECT none = {};
    const RECT& at = destRect ? *destRect : none;
    if (const HRESULT refused =
            port::Refused("Blt", this,
                          {flags, fx ? fx->dwFillColor : 0, port::Arg(source), at.left, at.top,
                           at.right, at.bottom, port::Arg(destRect), port::Arg(fx)}))
        return refused;
    PortSurface* dest = Impl(this);
    if (flags & ~(DDBLT_COLORFILL | DDBLT_WAIT))
        return DDERR_UNSUPPORTED; // keys, effects and raster operations are not drawn here
    if (fx && fx->dwSize != sizeof(DDBLTFX))
        return DDERR_INVALIDPARAMS;
    const bool fill = (flags & DDBLT_COLORFILL) != 0;
    if (fill ? !fx : !source)
        return DDERR_INVALIDPARAMS;
    // Nothing is clipped: a rectangle that leaves its surface is refused whole.
    const RECT to = destRect ? *destRect : Whole(dest);
    if (!Ordered(to) || !Inside(to, dest))
        return DDERR_INVALIDRECT;
    PortSurface* src = fill ? nullptr : Impl(source);
    if (src == dest)
        return DDERR_UNSUPPORTED; // the game never copies a surface onto itself
    RECT from = {};
    if (src) {
        from = sourceRect ? *sourceRect : Whole(src);
        if (!Ordered(from) || !Inside(from, src))
            return DDERR_INVALIDRECT;
    }
    // As Windows documents it. Wine draws into a lost page instead and says DD_OK; only Lock
    // and the flips refuse there. The game copes with both: it asks IsLost before each frame.
    if (dest->lost || (src && src->lost))
        return DDERR_SURFACELOST;
    if (Busy(dest) || (src && Busy(src)))
        return DDERR_SURFACEBUSY;
    if (fill)
        port::FillPixels(Rows(dest), to, static_cast<WORD>(fx->dwFillColor));
    else
        port::StretchPixels(Rows(src), from, Rows(dest), to);
    return DD_OK;
}

HRESULT IDirectDrawSurface4::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    if (const HRESULT refused = port::Refused(
            "Lock", this, {port::Arg(rect), flags, port::Arg(event), desc ? desc->dwSize : 0}))
        return refused;
    PortSurface* s = Impl(this);
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    if (rect)
        return DDERR_UNSUPPORTED; // the game locks whole surfaces
    if (s->lost)
        return DDERR_SURFACELOST;
    if (Busy(s))
        return DDERR_SURFACEBUSY;
    // The game takes the pixels to be 5-6-5 without asking, so the format is left out.
    std::memset(desc, 0, sizeof(DDSURFACEDESC2));
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE;
    desc->dwWidth = s->width;
    desc->dwHeight = s->height;
    desc->lPitch = s->pitch;
    desc->lpSurface = s->memory.get();
    desc->ddsCaps.dwCaps = s->caps;
    s->locked = true;
    if (lockHook)
        lockHook(*desc);
    return DD_OK;
}

HRESULT IDirectDrawSurface4::Unlock(LPRECT rect) {
    if (const HRESULT refused = port::Refused("Unlock", this, {port::Arg(rect)}))
        return refused;
    PortSurface* s = Impl(this);
    if (!s->locked)
        return DDERR_NOTLOCKED;
    s->locked = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface4::GetDC(HDC* dc) {
    if (const HRESULT refused = port::Refused("GetDC", this))
        return refused;
    if (!dc)
        return DDERR_INVALIDPARAMS;
    PortSurface* s = Impl(this);
    if (s->dcHeld)
        return DDERR_DCALREADYCREATED;
    if (s->lost)
        return DDERR_SURFACELOST; // as Windows documents it; Wine hands out a context all the same
    if (s->locked)
        return DDERR_SURFACEBUSY;
    // A fresh context each time, with GDI's defaults.
    s->dc = PortDC();
    s->dc.surface = s;
    s->dcHeld = true;
    *dc = Handle(&s->dc);
    return DD_OK;
}

HRESULT IDirectDrawSurface4::ReleaseDC(HDC dc) {
    if (const HRESULT refused = port::Refused("ReleaseDC", this, {port::Arg(dc)}))
        return refused;
    PortSurface* s = Impl(this);
    if (!s->dcHeld)
        return DDERR_NODC;
    if (dc != Handle(&s->dc))
        return DDERR_INVALIDPARAMS;
    s->dcHeld = false;
    s->dc.surface = nullptr; // the handle given out no longer draws
    return DD_OK;
}

HRESULT IDirectDrawSurface4::IsLost() {
    if (const HRESULT refused = port::Refused("IsLost", this))
        return refused;
    return Impl(this)->lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT IDirectDrawSurface4::Restore() {
    if (const HRESULT refused = port::Refused("Restore", this))
        return refused;
    // Nothing comes back while another program holds the screen, and the screen's own pages
    // only in the mode they were made for: after the desktop's mode came back with the screen,
    // the program has to set its own again first.
    const PortSurface* s = Impl(this);
    const PortSurface* head = s->chainHead ? s->chainHead : s;
    const PortDirectDraw* owner = s->owner;
    const bool chainFits =
        owner->modeSet && owner->modeWidth == head->width && owner->modeHeight == head->height;
    if (port::DisplayTaken() || (head->backBuffer && !chainFits))
        return DDERR_WRONGMODE;
    RestoreChain(Impl(this));
    return DD_OK;
}
