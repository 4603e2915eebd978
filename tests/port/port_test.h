// Shared by the port's DirectDraw tests: an exclusive screen with its flipping chain, plain
// surfaces, and pixels read back through Lock.
#ifndef VANTOREL_TESTS_PORT_TEST_H
#define VANTOREL_TESTS_PORT_TEST_H

#include <windows.h>
#include <ddraw.h>

#include "support/test_support.h"

#include "host.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

#include <vector>

inline HWND TestWindow() {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
}

inline DDSURFACEDESC2 PlainDesc(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return desc;
}

inline DDSURFACEDESC2 ChainDesc() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    return desc;
}

inline DDBLTFX FillFx(WORD colour) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(DDBLTFX);
    fx.dwFillColor = colour;
    return fx;
}

// A surface's pixels without the pitch padding: [y * width + x]; empty when Lock fails.
inline std::vector<WORD> Pixels(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    std::vector<WORD> pixels;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return pixels;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const WORD* row = reinterpret_cast<const WORD*>(static_cast<const BYTE*>(desc.lpSurface) +
                                                        y * desc.lPitch);
        pixels.insert(pixels.end(), row, row + desc.dwWidth);
    }
    surface->Unlock(nullptr);
    return pixels;
}

// Every test starts from a fresh host with the display set up as the game sets it up (a mode
// of `width` x `height` and a two-page chain), and must leave nothing alive at its end.
class PortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        Open(800, 600);
    }

    void Open(DWORD width, DWORD height) {
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)), DD_OK);
        first->Release();
        ASSERT_EQ(dd->SetCooperativeLevel(TestWindow(), 0x13), DD_OK);
        ASSERT_EQ(dd->SetDisplayMode(width, height, 16, 0, 0), DD_OK);
        DDSURFACEDESC2 desc = ChainDesc();
        ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    }

    void TearDown() override {
        for (LPDIRECTDRAWSURFACE4 s : {back, front, plain})
            if (s)
                s->Release();
        if (dd)
            dd->Release();
        EXPECT_EQ(PortLiveObjects(), 0);
        EXPECT_FALSE(scripted::DisplayModeSet());
    }

    LPDIRECTDRAWSURFACE4 MakePlain(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = PlainDesc(width, height);
        EXPECT_EQ(dd->CreateSurface(&desc, &plain, nullptr), DD_OK);
        return plain;
    }

    HRESULT Fill(LPDIRECTDRAWSURFACE4 s, RECT* rect, WORD colour) {
        DDBLTFX fx = FillFx(colour);
        return s->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    LPDIRECTDRAW4 dd = nullptr;
    LPDIRECTDRAWSURFACE4 front = nullptr;
    LPDIRECTDRAWSURFACE4 back = nullptr;
    LPDIRECTDRAWSURFACE4 plain = nullptr; // released at the end when a test made one
};

#endif
