// The flipping chain: what Flip presents, how the pages swap, padded rows, lost pages.
#include "port_test.h"

namespace {

using ChainTest = PortTest;

TEST_F(ChainTest, FlipPresentsTheBackBufferAndSwapsThePages) {
    ASSERT_EQ(Fill(back, nullptr, 0xF800), DD_OK);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    const scripted::Page& shown = scripted::LastPresent();
    ASSERT_EQ(shown.width, 800);
    ASSERT_EQ(shown.height, 600);
    EXPECT_EQ(shown.pixels, std::vector<WORD>(800 * 600, 0xF800));
    // The interfaces keep their roles: the back buffer now holds the page shown before.
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0));
    EXPECT_EQ(Pixels(front), std::vector<WORD>(800 * 600, 0xF800));

    RECT corner = {790, 590, 800, 600};
    ASSERT_EQ(Fill(back, &corner, 0x001F), DD_OK);
    ASSERT_EQ(front->Flip(back, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(scripted::LastPresent().At(0, 0), 0x0000);
    EXPECT_EQ(scripted::LastPresent().At(799, 599), 0x001F);
    EXPECT_EQ(Pixels(back)[0], 0xF800);
    EXPECT_EQ(scripted::PresentCount(), 2);
}

TEST_F(ChainTest, PaddedRowsAreHonouredByLockBltAndPresent) {
    back->Release();
    front->Release();
    back = front = nullptr;
    scripted::SetPitchPadding(6);
    DDSURFACEDESC2 chain = ChainDesc();
    ASSERT_EQ(dd->CreateSurface(&chain, &front, nullptr), DD_OK);
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    ASSERT_EQ(desc.lPitch, 800 * 2 + 6);
    for (DWORD y = 0; y < 600; ++y) {
        BYTE* row = static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch;
        for (DWORD x = 0; x < 800; ++x)
            reinterpret_cast<WORD*>(row)[x] = static_cast<WORD>(x ^ (y << 5));
        std::fill(row + 1600, row + 1606, BYTE{0xAB}); // the padding belongs to no pixel
    }
    ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    RECT strip = {0, 599, 800, 600};
    ASSERT_EQ(Fill(back, &strip, 0x07E0), DD_OK);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    const scripted::Page& shown = scripted::LastPresent();
    for (int y = 0; y < 599; ++y)
        for (int x = 0; x < 800; ++x)
            ASSERT_EQ(shown.At(x, y), static_cast<WORD>(x ^ (y << 5))) << x << "," << y;
    EXPECT_EQ(shown.At(0, 599), 0x07E0);
    EXPECT_EQ(shown.At(799, 599), 0x07E0);
}

TEST_F(ChainTest, LostPagesRefuseUntilRestoredAndComeBackBlack) {
    MakePlain(8, 8);
    ASSERT_EQ(Fill(back, nullptr, 0xFFFF), DD_OK);
    ASSERT_EQ(Fill(plain, nullptr, 0xFFFF), DD_OK);
    scripted::LoseSurfaces();

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HDC dc = nullptr;
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(Fill(back, nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(back->Blt(nullptr, plain, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(back->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(plain->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(scripted::PresentCount(), 0);

    // Restoring the primary brings its back buffer with it, and nothing else.
    ASSERT_EQ(front->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(plain->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0));
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    scripted::LoseSurfaces();
    ASSERT_EQ(dd->RestoreAllSurfaces(), DD_OK);
    for (LPDIRECTDRAWSURFACE4 s : {front, back, plain})
        EXPECT_EQ(s->IsLost(), DD_OK);
    EXPECT_EQ(Pixels(plain), std::vector<WORD>(64, 0));
}

TEST_F(ChainTest, FlipRefusesBusyPagesAndTheWrongSurface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(front->GetDC(&dc), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    ASSERT_EQ(front->ReleaseDC(dc), DD_OK);

    EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(MakePlain(4, 4)->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(front->Flip(plain, DDFLIP_WAIT), DDERR_INVALIDPARAMS);
    EXPECT_EQ(scripted::PresentCount(), 0);

    // Out of the exclusive mode the screen is no longer ours to flip.
    ASSERT_EQ(dd->SetCooperativeLevel(TestWindow(), DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_NOEXCLUSIVEMODE);
}

TEST_F(ChainTest, TheChainStaysWhileEitherPageIsHeld) {
    EXPECT_EQ(PortLiveObjects(), 3);
    front->Release();
    front = nullptr;
    EXPECT_EQ(PortLiveObjects(), 3); // the back buffer still refers to the chain
    EXPECT_EQ(Fill(back, nullptr, 0x1234), DD_OK);
    back->Release();
    back = nullptr;
    EXPECT_EQ(PortLiveObjects(), 1);

    // A chain whose back buffer was never asked for goes with its primary.
    DDSURFACEDESC2 desc = ChainDesc();
    ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
    EXPECT_EQ(PortLiveObjects(), 3);
    EXPECT_EQ(front->Release(), 0u);
    front = nullptr;
    EXPECT_EQ(PortLiveObjects(), 1);
}

} // namespace
