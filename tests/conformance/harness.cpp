#include "harness.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

HRESULT Dd(unsigned code) {
    return static_cast<HRESULT>(0x88760000u | code);
}

struct Named {
    HRESULT result;
    const char* name;
};

// Every code a call here has been seen to give, on either side, by its name in the DirectDraw
// headers. Four codes share their values with general ones; the DirectDraw name is printed.
const Named names[] = {
    {0, "DD_OK"},
    {static_cast<HRESULT>(0x80004005u), "DDERR_GENERIC"},
    {static_cast<HRESULT>(0x80070057u), "DDERR_INVALIDPARAMS"},
    {static_cast<HRESULT>(0x8007000Eu), "DDERR_OUTOFMEMORY"},
    {static_cast<HRESULT>(0x80004001u), "DDERR_UNSUPPORTED"},
    {static_cast<HRESULT>(0x80004002u), "E_NOINTERFACE"},
    {static_cast<HRESULT>(0x80040110u), "CLASS_E_NOAGGREGATION"},
    {Dd(100), "DDERR_INVALIDCAPS"},
    {Dd(120), "DDERR_INVALIDMODE"},
    {Dd(130), "DDERR_INVALIDOBJECT"},
    {Dd(145), "DDERR_INVALIDPIXELFORMAT"},
    {Dd(150), "DDERR_INVALIDRECT"},
    {Dd(160), "DDERR_LOCKEDSURFACES"},
    {Dd(212), "DDERR_NOCOOPERATIVELEVELSET"},
    {Dd(225), "DDERR_NOEXCLUSIVEMODE"},
    {Dd(255), "DDERR_NOTFOUND"},
    {Dd(380), "DDERR_OUTOFVIDEOMEMORY"},
    {Dd(430), "DDERR_SURFACEBUSY"},
    {Dd(435), "DDERR_CANTLOCKSURFACE"},
    {Dd(450), "DDERR_SURFACELOST"},
    {Dd(470), "DDERR_TOOBIGHEIGHT"},
    {Dd(480), "DDERR_TOOBIGSIZE"},
    {Dd(490), "DDERR_TOOBIGWIDTH"},
    {Dd(540), "DDERR_WASSTILLDRAWING"},
    {Dd(561), "DDERR_INVALIDDIRECTDRAWGUID"},
    {Dd(564), "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {Dd(569), "DDERR_NOHWND"},
    {Dd(571), "DDERR_HWNDALREADYSET"},
    {Dd(581), "DDERR_EXCLUSIVEMODEALREADYSET"},
    {Dd(582), "DDERR_NOTFLIPPABLE"},
    {Dd(584), "DDERR_NOTLOCKED"},
    {Dd(585), "DDERR_CANTCREATEDC"},
    {Dd(586), "DDERR_NODC"},
    {Dd(587), "DDERR_WRONGMODE"},
    {Dd(590), "DDERR_UNSUPPORTEDMODE"},
    {Dd(620), "DDERR_DCALREADYCREATED"},
    {Dd(2156), "D3DERR_INVALIDCALL"},
};

// The lock's view of one pixel.
WORD& PixelIn(const DDSURFACEDESC2& desc, DWORD x, DWORD y) {
    BYTE* row = static_cast<BYTE*>(desc.lpSurface) + static_cast<size_t>(y) * desc.lPitch;
    return reinterpret_cast<WORD*>(row)[x];
}

bool LockWhole(LPDIRECTDRAWSURFACE4 surface, DDSURFACEDESC2& desc) {
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    return surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK;
}

} // namespace

void Report(const std::string& name, const std::string& call, const std::string& result,
            const std::string& state) {
    std::printf("%s | %s | %s | %s\n", name.c_str(), call.c_str(), result.c_str(), state.c_str());
    std::fflush(stdout);
}

std::string Text(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

std::string Bool(BOOL b) {
    return b ? "TRUE" : "FALSE";
}

std::string Name(HRESULT result) {
    for (const Named& n : names)
        if (n.result == result)
            return n.name;
    return Text("0x%08lX", static_cast<unsigned long>(result));
}

std::string Rect(const RECT& r) {
    return Text("(%ld,%ld,%ld,%ld)", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HRESULT CreatePlain(LPDIRECTDRAW4 dd, DWORD width, DWORD height, LPDIRECTDRAWSURFACE4* out) {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return dd->CreateSurface(&desc, out, nullptr);
}

HRESULT Fill(LPDIRECTDRAWSURFACE4 surface, RECT* rect, WORD colour) {
    DDBLTFX fx;
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

DWORD PixelAt(LPDIRECTDRAWSURFACE4 surface, int x, int y) {
    DDSURFACEDESC2 desc;
    if (!LockWhole(surface, desc))
        return NoPixel;
    DWORD pixel = NoPixel;
    if (x >= 0 && y >= 0 && static_cast<DWORD>(x) < desc.dwWidth &&
        static_cast<DWORD>(y) < desc.dwHeight)
        pixel = PixelIn(desc, x, y);
    surface->Unlock(nullptr);
    return pixel;
}

bool Paint(LPDIRECTDRAWSURFACE4 surface, WORD (*colour)(int x, int y)) {
    DDSURFACEDESC2 desc;
    if (!LockWhole(surface, desc))
        return false;
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            PixelIn(desc, x, y) = colour(x, y);
    surface->Unlock(nullptr);
    return true;
}

namespace {

Census Tally(LPDIRECTDRAWSURFACE4 surface, WORD colour, bool equal) {
    Census census;
    DDSURFACEDESC2 desc;
    if (!LockWhole(surface, desc)) {
        census.count = -1;
        return census;
    }
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x) {
            if ((PixelIn(desc, x, y) == colour) != equal)
                continue;
            const LONG px = static_cast<LONG>(x);
            const LONG py = static_cast<LONG>(y);
            RECT& b = census.box;
            if (census.count++ == 0)
                b = {px, py, px + 1, py + 1};
            b = {std::min(b.left, px), std::min(b.top, py), std::max(b.right, px + 1),
                 std::max(b.bottom, py + 1)};
        }
    surface->Unlock(nullptr);
    return census;
}

} // namespace

Census Count(LPDIRECTDRAWSURFACE4 surface, WORD colour) {
    return Tally(surface, colour, true);
}

Census CountOther(LPDIRECTDRAWSURFACE4 surface, WORD colour) {
    return Tally(surface, colour, false);
}

std::string Describe(const Census& census) {
    if (census.count < 0)
        return "unreadable";
    if (census.count == 0)
        return "none";
    return Text("%ld in %s", census.count, Rect(census.box).c_str());
}
