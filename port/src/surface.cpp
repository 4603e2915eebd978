// Surfaces: ordinary memory of 16-bit 5-6-5 pixels. The primary and its back buffer form a
// flipping chain whose pages Flip swaps and presents. A surface is busy while it is locked or
// its device context is out, and lost from a change of mode or the screen's loss until Restore;
// the calls refuse those states as the real ones do. The game's own arguments are trusted.
#include <windows.h>
#include <ddraw.h>

#include "internal.h"
#include "pixels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

LONG pitchPadding = 0;
void (*lockHook)(DDSURFACEDESC2&) = nullptr;

bool Busy(const PortSurface* s) {
    return s->locked || s->dcHeld;
}

RECT Whole(const PortSurface* s) {
    return {0, 0, static_cast<LONG>(s->width), static_cast<LONG>(s->height)};
}

// Right and bottom are exclusive: an empty rectangle is as wrong as an inverted one.
bool Fits(const RECT& r, const PortSurface* s) {
    return r.left < r.right && r.top < r.bottom && r.left >= 0 && r.top >= 0 &&
           int64_t{r.right} <= int64_t{s->width} && int64_t{r.bottom} <= int64_t{s->height};
}

void Free(PortSurface* s) {
    std::vector<PortSurface*>& made = s->owner->surfaces;
    made.erase(std::find(made.begin(), made.end(), s));
    if (s->owner->primary == s)
        s->owner->primary = nullptr;
    delete s;
}

// A surface, or a chain with both its pages, goes once the program holds no reference to it.
// The chain holds one reference to its back buffer itself: a back buffer the program still
// holds keeps the whole chain, so its interface never dangles.
void FreeIfUnused(PortSurface* head) {
    PortSurface* back = head->backBuffer;
    if (head->refs || (back && back->refs > 1))
        return;
    if (back)
        Free(back);
    Free(head);
}

} // namespace

namespace port {

// A surface in new memory, which is black, its rows starting on four-byte boundaries.
HRESULT NewSurface(PortDirectDraw* owner, DWORD width, DWORD height, PortSurface** out) {
    PortSurface* s = new (std::nothrow) PortSurface;
    if (!s)
        return DDERR_OUTOFMEMORY;
    s->owner = owner;
    s->width = width;
    s->height = height;
    s->pitch = static_cast<LONG>(width * sizeof(WORD) + pitchPadding + 3) & ~LONG{3};
    s->bytes = static_cast<size_t>(s->pitch) * height;
    s->memory.reset(static_cast<BYTE*>(std::calloc(s->bytes, 1)));
    if (!s->memory) {
        delete s;
        return DDERR_OUTOFMEMORY;
    }
    owner->surfaces.push_back(s);
    *out = s;
    return DD_OK;
}

HRESULT NewFlippingChain(PortDirectDraw* owner, PortSurface** out) {
    PortSurface* front = nullptr;
    PortSurface* back = nullptr;
    HRESULT result = NewSurface(owner, owner->modeWidth, owner->modeHeight, &front);
    if (FAILED(result))
        return result;
    result = NewSurface(owner, owner->modeWidth, owner->modeHeight, &back);
    if (FAILED(result)) {
        Free(front);
        return result;
    }
    back->chainHead = front; // its one reference is the chain's
    front->backBuffer = back;
    owner->primary = front;
    *out = front;
    return DD_OK;
}

HRESULT FlipPages(PortSurface* front) {
    PortSurface* back = front->backBuffer;
    if (front->lost || back->lost)
        return DDERR_SURFACELOST;
    if (Busy(front) || Busy(back))
        return DDERR_SURFACEBUSY;
    // The interfaces keep their places; the pages under them change over.
    std::swap(front->memory, back->memory);
    front->gdiPageShown = !front->gdiPageShown;
    Host().present(front->Rows(), static_cast<int>(front->width), static_cast<int>(front->height));
    return DD_OK;
}

void LoseSurfaces(PortDirectDraw* owner) {
    for (PortSurface* s : owner->surfaces)
        s->lost = true;
}

void FreeSurfaces(PortDirectDraw* owner) {
    for (PortSurface* s : owner->surfaces)
        delete s;
    owner->surfaces.clear();
    owner->primary = nullptr;
}

void ResetSurfaceHooks() {
    pitchPadding = 0;
    lockHook = nullptr;
}

} // namespace port

void PortSetPitchPadding(LONG bytes) {
    pitchPadding = bytes;
}

void PortSetLockHook(void (*hook)(DDSURFACEDESC2&)) {
    lockHook = hook;
}

ULONG IDirectDrawSurface4::Release() {
    port::Enter(__func__, this); // recorded for the order of releases; a release cannot fail
    PortSurface* s = Impl(this);
    const ULONG left = --s->refs;
    FreeIfUnused(s->chainHead ? s->chainHead : s);
    return left;
}

// In the game's chain of two, the primary's one attached surface is its back buffer.
HRESULT IDirectDrawSurface4::GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4* out) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    PortSurface* back = Impl(this)->backBuffer;
    ++back->refs;
    *out = back;
    return DD_OK;
}

HRESULT IDirectDrawSurface4::Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags) {
    if (const HRESULT refused = port::Refused(__func__, this, {port::Arg(target), flags}))
        return refused;
    return port::FlipPages(Impl(this));
}

HRESULT IDirectDrawSurface4::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect,
                                 DWORD flags, LPDDBLTFX fx) {
    if (const HRESULT refused = port::Refused(__func__, this, {flags}))
        return refused;
    PortSurface* dest = Impl(this);
    PortSurface* src = (flags & DDBLT_COLORFILL) ? nullptr : Impl(source);
    // Nothing is clipped: a rectangle that leaves its surface is refused whole.
    const RECT to = destRect ? *destRect : Whole(dest);
    RECT from = {};
    if (src)
        from = sourceRect ? *sourceRect : Whole(src);
    if (!Fits(to, dest) || (src && !Fits(from, src)))
        return DDERR_INVALIDRECT;
    // As Windows documents it. Wine draws into a lost page instead and says DD_OK; only Lock
    // and the flips refuse there. The game copes with both: it asks IsLost before each frame.
    if (dest->lost || (src && src->lost))
        return DDERR_SURFACELOST;
    if (Busy(dest) || (src && Busy(src)))
        return DDERR_SURFACEBUSY;
    if (src)
        port::StretchPixels(src->Rows(), from, dest->Rows(), to);
    else
        port::FillPixels(dest->Rows(), to, static_cast<WORD>(fx->dwFillColor));
    return DD_OK;
}

// The game locks whole surfaces and takes the pixels to be 5-6-5 without asking.
HRESULT IDirectDrawSurface4::Lock(LPRECT, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    PortSurface* s = Impl(this);
    if (s->lost)
        return DDERR_SURFACELOST;
    if (Busy(s))
        return DDERR_SURFACEBUSY;
    std::memset(desc, 0, sizeof(DDSURFACEDESC2));
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwWidth = s->width;
    desc->dwHeight = s->height;
    desc->lPitch = s->pitch;
    desc->lpSurface = s->memory.get();
    s->locked = true;
    if (lockHook)
        lockHook(*desc);
    return DD_OK;
}

HRESULT IDirectDrawSurface4::Unlock(LPRECT) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    Impl(this)->locked = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface4::GetDC(HDC* dc) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    PortSurface* s = Impl(this);
    if (s->lost)
        return DDERR_SURFACELOST; // as Windows documents it; Wine hands out a context all the same
    if (s->locked)
        return DDERR_SURFACEBUSY;
    // A fresh context each time, with GDI's defaults.
    s->dc = PortDC();
    s->dc.surface = s;
    s->dcHeld = true;
    *dc = reinterpret_cast<HDC>(&s->dc);
    return DD_OK;
}

HRESULT IDirectDrawSurface4::ReleaseDC(HDC) {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    Impl(this)->dcHeld = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface4::IsLost() {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    return Impl(this)->lost ? DDERR_SURFACELOST : DD_OK;
}

// Restores the surface's chain and blackens its pages: what a lost surface held is gone. The
// screen's own pages come back only in the mode they were made for: after the desktop's mode
// came back with the screen, the program has to set its own again first.
HRESULT IDirectDrawSurface4::Restore() {
    if (const HRESULT refused = port::Refused(__func__, this))
        return refused;
    PortSurface* head = Impl(this)->chainHead ? Impl(this)->chainHead : Impl(this);
    if (head->backBuffer && !head->owner->modeSet)
        return DDERR_WRONGMODE;
    for (PortSurface* s : {head, head->backBuffer}) {
        if (s && s->lost) {
            s->lost = false;
            std::memset(s->memory.get(), 0, s->bytes);
        }
    }
    return DD_OK;
}
