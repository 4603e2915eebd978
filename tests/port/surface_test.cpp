// Sizes refused, locks and device contexts, and failures made on purpose by the host.
#include "port_test.h"

namespace {

using SurfaceTest = PortTest;

TEST_F(SurfaceTest, RefusesSizesNoDriverWouldMakeWithoutAllocating) {
    const struct {
        DWORD flags, width, height;
        HRESULT result;
    } cases[] = {
        {DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 0, 64, DDERR_INVALIDPARAMS},
        {DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 700, static_cast<DWORD>(-120), DDERR_OUTOFMEMORY},
        {DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 16385, 1, DDERR_OUTOFMEMORY},
        {DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 8192, 8192, DDERR_OUTOFMEMORY},
        {DDSD_CAPS | DDSD_WIDTH, 64, 64, DDERR_INVALIDPARAMS},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        DDSURFACEDESC2 desc = PlainDesc(cases[i].width, cases[i].height);
        desc.dwFlags = cases[i].flags;
        LPDIRECTDRAWSURFACE4 s = back;
        EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), cases[i].result) << "case " << i;
        EXPECT_EQ(s, nullptr) << "case " << i;
        EXPECT_EQ(PortLiveObjects(), 3) << "case " << i;
    }
    // The longest side there is, black like every new surface.
    EXPECT_EQ(Pixels(Plain(16384, 1)), std::vector<WORD>(16384, 0));
}

// One surface, step by step, with the code the real platform gives at each step.
TEST_F(SurfaceTest, LocksAndDeviceContextsExcludeEachOtherAndBlits) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HDC dc = nullptr, other = reinterpret_cast<HDC>(&desc);
    auto lock = [&] { return back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr); };
    auto unlock = [&] { return back->Unlock(nullptr); };
    auto getDC = [&] { return back->GetDC(dc ? &other : &dc); };
    auto releaseDC = [&] { return back->ReleaseDC(dc); };
    auto releaseOther = [&] { return back->ReleaseDC(other); };
    auto bltTo = [&] { return Fill(back, nullptr, 0x1111); };
    auto bltFrom = [&] { return front->Blt(nullptr, back, nullptr, DDBLT_WAIT, nullptr); };
    // clang-format off
    const std::pair<std::function<HRESULT()>, HRESULT> steps[] = {
        {unlock, DDERR_NOTLOCKED},     {releaseDC, DDERR_NODC},        {lock, DD_OK},
        {lock, DDERR_SURFACEBUSY},     {getDC, DDERR_SURFACEBUSY},     {bltTo, DDERR_SURFACEBUSY},
        {bltFrom, DDERR_SURFACEBUSY},  {unlock, DD_OK},                {getDC, DD_OK},
        {getDC, DDERR_DCALREADYCREATED}, {lock, DDERR_SURFACEBUSY},    {bltTo, DDERR_SURFACEBUSY},
        {bltFrom, DDERR_SURFACEBUSY},  {releaseOther, DDERR_INVALIDPARAMS}, {releaseDC, DD_OK},
        {bltFrom, DD_OK},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(steps[i].first(), steps[i].second) << "step " << i;
    // A context given back no longer draws.
    EXPECT_FALSE(TextOutA(dc, 0, 0, "A", 1));
    EXPECT_EQ(Pixels(back), std::vector<WORD>(800 * 600, 0));
}

// A failure made by the host comes back as it was made, with the out-pointer emptied and
// nothing made, drawn or shown; the next call goes through.
TEST_F(SurfaceTest, FailuresMadeByTheHostComeBackOnce) {
    LPDIRECTDRAW first = nullptr;
    LPDIRECTDRAWSURFACE4 made = nullptr;
    DDSURFACEDESC2 desc = PlainDesc(4, 4);
    const struct {
        const char* name;
        void** out;
        std::function<HRESULT()> call;
    } calls[] = {
        {"DirectDrawCreate", reinterpret_cast<void**>(&first),
         [&] { return DirectDrawCreate(nullptr, &first, nullptr); }},
        {"CreateSurface", reinterpret_cast<void**>(&made),
         [&] { return dd->CreateSurface(&desc, &made, nullptr); }},
        {"Blt", nullptr, [&] { return Fill(front, nullptr, 0xFFFF); }},
        {"Flip", nullptr, [&] { return front->Flip(nullptr, DDFLIP_WAIT); }},
    };
    for (const auto& c : calls) {
        scripted::FailCall(c.name, 1, DDERR_SURFACELOST);
        if (c.out)
            *c.out = &desc; // anything but null
        EXPECT_EQ(c.call(), DDERR_SURFACELOST) << c.name;
        EXPECT_EQ(c.out ? *c.out : nullptr, nullptr) << c.name;
        EXPECT_EQ(PortLiveObjects(), 3) << c.name;
    }
    EXPECT_EQ(Pixels(front)[0], 0);
    EXPECT_EQ(scripted::PresentCount(), 0);
    for (const auto& c : calls)
        ASSERT_EQ(c.call(), DD_OK) << c.name;
    EXPECT_EQ(scripted::PresentCount(), 1);
    made->Release();
    first->Release();
}

} // namespace
