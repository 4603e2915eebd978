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

// Every code a case here has been seen to give, on either side, by its name in the DirectDraw
// headers. Three codes share their values with general ones; the DirectDraw name is printed.
const Named names[] = {
    {0, "DD_OK"},
    {static_cast<HRESULT>(0x80070057u), "DDERR_INVALIDPARAMS"},
    {static_cast<HRESULT>(0x8007000Eu), "DDERR_OUTOFMEMORY"},
    {static_cast<HRESULT>(0x80004001u), "DDERR_UNSUPPORTED"},
    {static_cast<HRESULT>(0x80004002u), "E_NOINTERFACE"},
    {static_cast<HRESULT>(0x80040110u), "CLASS_E_NOAGGREGATION"},
    {Dd(100), "DDERR_INVALIDCAPS"},
    {Dd(150), "DDERR_INVALIDRECT"},
    {Dd(212), "DDERR_NOCOOPERATIVELEVELSET"},
    {Dd(225), "DDERR_NOEXCLUSIVEMODE"},
    {Dd(255), "DDERR_NOTFOUND"},
    {Dd(430), "DDERR_SURFACEBUSY"},
    {Dd(450), "DDERR_SURFACELOST"},
    {Dd(564), "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {Dd(581), "DDERR_EXCLUSIVEMODEALREADYSET"},
    {Dd(582), "DDERR_NOTFLIPPABLE"},
    {Dd(584), "DDERR_NOTLOCKED"},
    {Dd(586), "DDERR_NODC"},
    {Dd(587), "DDERR_WRONGMODE"},
    {Dd(620), "DDERR_DCALREADYCREATED"},
    {Dd(2156), "D3DERR_INVALIDCALL"},
};

} // namespace

void Report(const std::string& name, const std::string& call, const std::string& result,
            const std::string& state) {
    std::printf("%s | %s | %s | %s\n", name.c_str(), call.c_str(), result.c_str(), state.c_str());
    std::fflush(stdout);
}

void Case(const std::string& name, const std::string& call, HRESULT result, const State& state) {
    Report(name, call, Name(result), state ? state() : "-");
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

std::string References(ULONG count) {
    return Text("%lu", static_cast<unsigned long>(count));
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool RegisterWindowClass(const char* name, WNDPROC procedure) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

DDSURFACEDESC2 Description() {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

HRESULT CreatePlain(LPDIRECTDRAW4 dd, DWORD width, DWORD height, Surface* out) {
    DDSURFACEDESC2 desc = Description();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return dd->CreateSurface(&desc, out, nullptr);
}

HRESULT CreateChain(LPDIRECTDRAW4 dd, Surface* front) {
    DDSURFACEDESC2 desc = Description();
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    return dd->CreateSurface(&desc, front, nullptr);
}

HRESULT Fill(Surface surface, RECT* rect, WORD colour) {
    DDBLTFX fx;
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

namespace {

// The lock's view of one pixel.
WORD& PixelIn(const DDSURFACEDESC2& desc, DWORD x, DWORD y) {
    BYTE* row = static_cast<BYTE*>(desc.lpSurface) + static_cast<size_t>(y) * desc.lPitch;
    return reinterpret_cast<WORD*>(row)[x];
}

} // namespace

Pixels ReadPixels(Surface surface) {
    Pixels pixels;
    DDSURFACEDESC2 desc = Description();
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK)
        return pixels;
    pixels.width = static_cast<LONG>(desc.dwWidth);
    pixels.height = static_cast<LONG>(desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            pixels.rows.push_back(PixelIn(desc, x, y));
    surface->Unlock(nullptr);
    return pixels;
}

bool Readable(const Pixels& pixels) {
    return !pixels.rows.empty();
}

WORD PixelOf(const Pixels& pixels, LONG x, LONG y) {
    return pixels.rows[static_cast<size_t>(y) * pixels.width + x];
}

bool Paint(Surface surface, WORD (*colour)(int x, int y)) {
    DDSURFACEDESC2 desc = Description();
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK)
        return false;
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            PixelIn(desc, x, y) = colour(x, y);
    surface->Unlock(nullptr);
    return true;
}

std::string PixelText(Surface surface, int x, int y) {
    const Pixels pixels = ReadPixels(surface);
    if (!Readable(pixels))
        return "unreadable";
    return Text("%04X", static_cast<unsigned>(PixelOf(pixels, x, y)));
}

void Add(Census& census, LONG x, LONG y) {
    RECT& b = census.box;
    if (census.count == 0)
        b = {x, y, x + 1, y + 1};
    ++census.count;
    b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1),
         std::max(b.bottom, y + 1)};
}

namespace {

Census Tally(Surface surface, WORD colour, bool equal) {
    Census census;
    const Pixels pixels = ReadPixels(surface);
    if (!Readable(pixels))
        census.count = -1;
    for (LONG y = 0; y < pixels.height; ++y)
        for (LONG x = 0; x < pixels.width; ++x)
            if ((PixelOf(pixels, x, y) == colour) == equal)
                Add(census, x, y);
    return census;
}

} // namespace

Census Count(Surface surface, WORD colour) {
    return Tally(surface, colour, true);
}

Census CountOther(Surface surface, WORD colour) {
    return Tally(surface, colour, false);
}

std::string Describe(const Census& census) {
    if (census.count < 0)
        return "unreadable";
    if (census.count == 0)
        return "none";
    return Text("%ld in %s", census.count, Rect(census.box).c_str());
}
