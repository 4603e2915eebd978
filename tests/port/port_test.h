// Shared by the port's DirectDraw tests: the screen as the game sets it up, plain surfaces,
// and pixels written and read through Lock.
#ifndef VANTOREL_TESTS_PORT_TEST_H
#define VANTOREL_TESTS_PORT_TEST_H

#include <windows.h>
#include <ddraw.h>

#include "support/test_support.h"

#include "host.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

inline DDSURFACEDESC2 PlainDesc(DWORD width, DWORD height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return desc;
}

// Calls `visit` with each pixel of the locked surface: visit(x, y, pixel).
inline HRESULT ForEachPixel(LPDIRECTDRAWSURFACE4 s,
                            const std::function<void(int, int, WORD&)>& visit) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    const HRESULT locked = s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(locked))
        return locked;
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            visit(x, y,
                  reinterpret_cast<WORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch)[x]);
    return s->Unlock(nullptr);
}

// The pixels without the row padding, [y * width + x]; empty when the surface won't lock.
inline std::vector<WORD> Pixels(LPDIRECTDRAWSURFACE4 s) {
    std::vector<WORD> pixels;
    ForEachPixel(s, [&](int, int, WORD& p) { pixels.push_back(p); });
    return pixels;
}

// Each test starts on a fresh host with an exclusive 800 x 600 mode and a two-page chain, and
// must leave nothing alive once it has released what it holds.
class PortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)), DD_OK);
        first->Release();
        ASSERT_EQ(dd->SetCooperativeLevel(window, 0x13), DD_OK);
        ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
        MakeChain();
    }

    void MakeChain() {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(DDSURFACEDESC2);
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    }

    void TearDown() override {
        for (LPDIRECTDRAWSURFACE4 s : held)
            s->Release();
        for (LPDIRECTDRAWSURFACE4 s : {back, front})
            if (s)
                s->Release();
        if (dd)
            dd->Release();
        EXPECT_EQ(PortLiveObjects(), 0);
        EXPECT_FALSE(scripted::DisplayModeSet());
    }

    // An off-screen surface, released at the end of the test.
    LPDIRECTDRAWSURFACE4 Plain(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = PlainDesc(width, height);
        LPDIRECTDRAWSURFACE4 s = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);
        if (s)
            held.push_back(s);
        return s;
    }

    static HRESULT Fill(LPDIRECTDRAWSURFACE4 s, RECT* rect, WORD colour) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(DDBLTFX);
        fx.dwFillColor = colour;
        return s->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    LPDIRECTDRAW4 dd = nullptr;
    LPDIRECTDRAWSURFACE4 front = nullptr;
    LPDIRECTDRAWSURFACE4 back = nullptr;
    std::vector<LPDIRECTDRAWSURFACE4> held;
};

#endif
