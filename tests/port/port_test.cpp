// The port where the game's own tests cannot see it: nothing is written outside a surface,
// whatever rectangle or text position reaches it.
#include <windows.h>
#include <ddraw.h>

#include "support/test_support.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(Port, ARectangleLeavingTheSurfaceIsRefusedAndACellLeavingItIsLeftOut) {
    ResetEverything();
    LPDIRECTDRAW first = nullptr;
    LPDIRECTDRAW4 dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)), DD_OK);
    first->Release();
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 16;
    desc.dwHeight = 16;
    LPDIRECTDRAWSURFACE4 s = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);

    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0xFFFF;
    for (RECT r : {RECT{8, 0, 17, 4}, RECT{0, -1, 4, 4}, RECT{4, 4, 2, 8}})
        EXPECT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx),
                  DDERR_INVALIDRECT)
            << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom;
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    SetTextColor(dc, 0x00FFFFFF);
    SetBkMode(dc, TRANSPARENT);
    for (POINT at : {POINT{-4, 0}, POINT{12, 0}, POINT{0, -8}, POINT{0, 8}})
        EXPECT_TRUE(TextOutA(dc, at.x, at.y, "W", 1)) << at.x << ", " << at.y;
    s->ReleaseDC(dc);

    ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    const WORD* pixels = static_cast<WORD*>(desc.lpSurface); // rows of 16 without padding
    EXPECT_EQ(std::count(pixels, pixels + 16 * 16, 0), 16 * 16);
    s->Unlock(nullptr);
    s->Release();
    dd->Release();
    EXPECT_EQ(PortLiveObjects(), 0);
}

} // namespace
