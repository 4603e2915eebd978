// The flipping chain: what Flip presents, how the pages swap, lost pages, lifetimes.
#include "port_test.h"

namespace {

using ChainTest = PortTest;

WORD Pattern(int x, int y) {
    return static_cast<WORD>(x ^ (y << 5));
}

TEST_F(ChainTest, FlipPresentsTheBackBufferOnPaddedRowsAndSwapsThePages) {
    back->Release();
    front->Release();
    scripted::SetPitchPadding(6);
    MakeChain();
    ASSERT_EQ(ForEachPixel(back, [](int x, int y, WORD& p) { p = Pattern(x, y); }), DD_OK);
    RECT lastRow = {0, 599, 800, 600};
    ASSERT_EQ(Fill(back, &lastRow, 0x07E0), DD_OK);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    const scripted::Page& shown = scripted::LastPresent();
    ASSERT_EQ(shown.width * shown.height, 800 * 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(shown.At(x, y), y == 599 ? 0x07E0 : Pattern(x, y)) << x << "," << y;
    // The interfaces keep their roles: the back buffer now holds the page shown before.
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0));
    RECT corner = {790, 590, 800, 600};
    ASSERT_EQ(Fill(back, &corner, 0x001F), DD_OK);
    ASSERT_EQ(front->Flip(back, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(scripted::LastPresent().At(0, 0), 0x0000);
    EXPECT_EQ(scripted::LastPresent().At(799, 599), 0x001F);
    EXPECT_EQ(Pixels(back)[0], Pattern(0, 0));
    EXPECT_EQ(scripted::PresentCount(), 2);
}

TEST_F(ChainTest, LostPagesRefuseUntilRestoredAndComeBackBlack) {
    LPDIRECTDRAWSURFACE4 plain = Plain(8, 8);
    ASSERT_EQ(Fill(back, nullptr, 0xFFFF), DD_OK);
    ASSERT_EQ(Fill(plain, nullptr, 0xFFFF), DD_OK);
    scripted::LoseSurfaces();
    HDC dc = nullptr;
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(Fill(back, nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(back->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_TRUE(Pixels(back).empty()); // Lock refuses as well
    EXPECT_EQ(scripted::PresentCount(), 0);

    // Restoring the primary brings its back buffer with it, and nothing else.
    ASSERT_EQ(front->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(back->Blt(nullptr, plain, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0));
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    scripted::LoseSurfaces();
    ASSERT_EQ(dd->RestoreAllSurfaces(), DD_OK);
    for (LPDIRECTDRAWSURFACE4 s : {front, back, plain})
        EXPECT_EQ(s->IsLost(), DD_OK);
    EXPECT_EQ(Pixels(plain), std::vector<WORD>(64, 0));
    // A new display mode takes the memory away too.
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    EXPECT_EQ(front->IsLost(), DDERR_SURFACELOST);
}

TEST_F(ChainTest, PagesOutliveWhatMadeThem) {
    // The screen is given back with the object; its pages stay, but flip no more.
    EXPECT_EQ(dd->Release(), 0u);
    dd = nullptr;
    EXPECT_FALSE(scripted::DisplayModeSet());
    EXPECT_EQ(PortLiveObjects(), 2);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_NOEXCLUSIVEMODE);
    // The chain stays while the back buffer is held.
    front->Release();
    front = nullptr;
    EXPECT_EQ(Fill(back, nullptr, 0x1234), DD_OK);
    EXPECT_EQ(PortLiveObjects(), 2);
}

} // namespace
