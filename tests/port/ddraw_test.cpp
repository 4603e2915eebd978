// The port's DirectDraw, checked call by call against the codes the real platform gives.
#include <windows.h>
#include <ddraw.h>

#include "support/test_support.h"

#include "test_hooks.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace {

// The pixels without row padding, [y * width + x], first set to paint(x, y) if given.
std::vector<WORD> Pixels(LPDIRECTDRAWSURFACE4 s, WORD (*paint)(int, int) = nullptr) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    std::vector<WORD> pixels;
    if (s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK)
        return pixels;
    for (DWORD y = 0; y < d.dwHeight; ++y)
        for (DWORD x = 0; x < d.dwWidth; ++x) {
            WORD& p = reinterpret_cast<WORD*>(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch)[x];
            pixels.push_back(paint ? p = paint(x, y) : p);
        }
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    return pixels;
}

// Every test: the game's exclusive 800 x 600 mode, two pages on padded rows, nothing left alive.
struct Port : ::testing::Test {
    void SetUp() override {
        ResetEverything();
        scripted::SetPitchPadding(6);
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)), DD_OK);
        first->Release();
        ASSERT_EQ(dd->SetCooperativeLevel(reinterpret_cast<HWND>(1), 0x13), DD_OK);
        ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
        held = {back, front};
    }
    void TearDown() override {
        for (LPDIRECTDRAWSURFACE4 s : held)
            s->Release();
        dd->Release();
        EXPECT_EQ(PortLiveObjects(), 0);
        EXPECT_FALSE(scripted::DisplayModeSet());
    }
    // An off-screen surface held to the end of the test, or null when refused as `expected`.
    LPDIRECTDRAWSURFACE4 Plain(DWORD width, DWORD height, HRESULT expected = DD_OK) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT; // no caps: off-screen and plain
        desc.dwWidth = width;
        desc.dwHeight = height;
        LPDIRECTDRAWSURFACE4 s = back; // anything but null: a refusal empties it
        EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), expected) << width << " x " << height;
        if (expected == DD_OK)
            held.push_back(s);
        return s;
    }
    static HRESULT Fill(LPDIRECTDRAWSURFACE4 s, RECT* rect, WORD colour) {
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = colour;
        return s->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    LPDIRECTDRAW4 dd = nullptr;
    LPDIRECTDRAWSURFACE4 front = nullptr, back = nullptr;
    std::vector<LPDIRECTDRAWSURFACE4> held;
};

TEST_F(Port, FillsTheRectangleOrRefusesOneThatLeavesTheSurface) {
    // clang-format off
    const std::tuple<RECT, RECT, HRESULT> cases[] = {
        {{1, 5, 16, 8}, {1, 5, 16, 8}, DD_OK},   {{0, 0, 16, 2}, {0, 0, 16, 2}, DD_OK},
        {{-9, -6, 99, 2}, {}, DDERR_INVALIDRECT}, {{1, 5, 17, 8}, {}, DDERR_INVALIDRECT},
        {{-20, 0, -4, 8}, {}, DDERR_INVALIDRECT}, {{6, 2, 3, 4}, {}, DDERR_INVALIDRECT}};
    // clang-format on
    for (LONG padding : {0, 10}) // unpadded rows and colours of two equal bytes go other ways
        for (WORD colour : {WORD{0xF81F}, WORD{0x4242}}) {
            scripted::SetPitchPadding(padding);
            for (size_t i = 0; i < std::size(cases); ++i) {
                auto [rect, in, result] = cases[i];
                LPDIRECTDRAWSURFACE4 s = Plain(16, 8);
                EXPECT_EQ(Fill(s, &rect, colour), result) << "case " << i;
                std::vector<WORD> expected(16 * 8, 0);
                for (LONG y = in.top; y < in.bottom; ++y)
                    std::fill_n(&expected[y * 16 + in.left], in.right - in.left, colour);
                ASSERT_EQ(Pixels(s), expected) << "case " << i << " padding " << padding;
            }
        }
}

// Each row and column of a copy walks its source in order, end to end, no faster than the scale.
TEST_F(Port, CopiesWalkTheWholeSourceInOrder) {
    LPDIRECTDRAWSURFACE4 source = Plain(800, 60);
    Pixels(source, [](int x, int y) { return WORD(x | y << 10); });
    RECT outside = {1, 0, 801, 60};
    EXPECT_EQ(back->Blt(nullptr, source, &outside, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    const RECT cases[][2] = {
        {{0, 0, 700, 60}, {49, 1, 750, 62}}, {{0, 0, 700, 60}, {3, 5, 353, 35}},
        {{20, 10, 27, 13}, {0, 0, 3, 2}},    {{20, 10, 27, 13}, {5, 5, 12, 8}},
        {{20, 10, 27, 13}, {0, 0, 700, 59}}, {{1, 2, 700, 60}, {100, 100, 101, 101}},
        {{0, 0, 800, 59}, {0, 1, 800, 60}}}; // last: within the source, a row down
    for (size_t i = 0; i < std::size(cases); ++i) {
        RECT from = cases[i][0], to = cases[i][1];
        LPDIRECTDRAWSURFACE4 dest = i + 1 < std::size(cases) ? back : source;
        ASSERT_EQ(dest->Blt(&to, source, &from, DDBLT_WAIT, nullptr), DD_OK) << "case " << i;
        const std::vector<WORD> shown = Pixels(dest);
        for (int down = 0; down < 2; ++down) { // the top row shows columns, the left column rows
            const LONG first = down ? from.top : from.left,
                       n = down ? to.bottom - to.top : to.right - to.left;
            const LONG size = (down ? from.bottom : from.right) - first, most = (size + n - 1) / n;
            LONG last = first;
            for (LONG k = 0; k < n; ++k) {
                const WORD p = shown[(to.top + down * k) * 800 + to.left + (1 - down) * k];
                const LONG at = down ? p >> 10 : p & 0x3FF;
                ASSERT_TRUE(at >= last && at - last <= most - (k == 0))
                    << "case " << i << " at " << k;
                last = at;
            }
            EXPECT_GE(last - first, size - most) << "case " << i;
        }
    }
}

TEST_F(Port, RefusedSurfacesAreNeitherMadeNorHandedOut) {
    scripted::FailCall("CreateSurface", 1, DDERR_GENERIC);
    EXPECT_EQ(Plain(4, 4, DDERR_GENERIC), nullptr);
    EXPECT_EQ(Pixels(Plain(100000, 1)), std::vector<WORD>(100000, 0)); // a long row, black
}

// A size that no memory holds is made all the same; everything that would touch its pixels
// fails. (Under Wine a blit from such a surface crashes, so the comparison leaves it out.)
TEST_F(Port, ASurfaceWithoutMemoryFailsEveryUseOfItsPixels) {
    LPDIRECTDRAWSURFACE4 empty = Plain(700, static_cast<DWORD>(-120));
    RECT title = {0, 0, 700, 120};
    HDC dc = nullptr;
    EXPECT_EQ(back->Blt(&title, empty, &title, DDBLT_WAIT, nullptr), DDERR_OUTOFMEMORY);
    EXPECT_EQ(Fill(empty, &title, 0x1234), DDERR_OUTOFMEMORY);
    EXPECT_EQ(empty->GetDC(&dc), DDERR_OUTOFMEMORY);
    EXPECT_EQ(dc, nullptr);
}

TEST_F(Port, LocksDeviceContextsAndLostPagesExcludeEachOtherAndBlits) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HDC dc = nullptr;
    auto lock = [&] { return back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr); };
    auto unlock = [&] { return back->Unlock(nullptr); };
    auto getDC = [&] { return back->GetDC(&dc); };
    auto releaseDC = [&] { return back->ReleaseDC(dc); };
    auto bltTo = [&] { return Fill(back, nullptr, 0x1111); };
    auto bltFrom = [&] { return front->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr); };
    auto lose = [] { return scripted::LoseSurfaces(), DD_OK; };
    auto restore = [&] { return front->Restore(); }; // brings its back buffer with it
    // clang-format off
    const std::pair<std::function<HRESULT()>, HRESULT> steps[] = {
        {unlock, DDERR_NOTLOCKED},    {lock, DD_OK},                {lock, DDERR_SURFACEBUSY},
        {getDC, DDERR_SURFACEBUSY},   {bltTo, DDERR_SURFACEBUSY},   {bltFrom, DDERR_SURFACEBUSY},
        {unlock, DD_OK},              {getDC, DD_OK},               {lock, DDERR_SURFACEBUSY},
        {bltTo, DDERR_SURFACEBUSY},   {bltFrom, DDERR_SURFACEBUSY}, {releaseDC, DD_OK},
        {bltFrom, DD_OK},             {bltTo, DD_OK},               {lose, DD_OK},
        {lock, DDERR_SURFACELOST},    {getDC, DDERR_SURFACELOST},   {bltFrom, DDERR_SURFACELOST},
        {restore, DD_OK}};
    // clang-format on
    for (size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(steps[i].first(), steps[i].second) << "step " << i;
    EXPECT_FALSE(TextOutA(dc, 0, 0, "A", 1)); // a context given back no longer draws
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0)); // what was lost is black
}

TEST_F(Port, FlipPresentsTheBackBufferAndSwapsThePages) {
    const std::vector<WORD> drawn = Pixels(back, [](int x, int y) { return WORD(x ^ y << 5); });
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(scripted::LastPresent().pixels, drawn);
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0)); // now the page shown before
}

} // namespace
