// The display device and the title loader, through the scripted host.
#include <windows.h>
#include <ddraw.h>

#include "display/bitmap.h"
#include "display/device.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace {

const HWND GameWindow = reinterpret_cast<HWND>(0x40);

// The boxes shown so far, one "text|caption|style" line each.
std::string Boxes() {
    std::string boxes;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes())
        boxes += box.text + '|' + box.caption + '|' + std::to_string(box.style) + '\n';
    return boxes;
}

// A display failure's box: caption "ERROR", MB_ICONERROR.
std::string DisplayBox(const std::string& text) {
    return text + "|ERROR|16\n";
}

// Every test starts from a fresh scripted host in a directory of its own, with the game's
// window handle set, and ends with everything given back.
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        mainWindow = GameWindow;
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    TempDir dir;
};

TEST_F(DisplayTest, SetUpTakesTheScreenExclusivelyInTheGamesMode) {
    ASSERT_TRUE(InitDirectDraw());
    const scripted::Call level = scripted::CallsNamed("SetCooperativeLevel").at(0);
    EXPECT_EQ(level.args[0], reinterpret_cast<intptr_t>(GameWindow));
    EXPECT_EQ(level.args[1], DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    const std::array<long long, 10> gameMode = {800, 600, 16, 0, 0}; // default rate, no flags
    EXPECT_EQ(scripted::CallsNamed("SetDisplayMode").at(0).args, gameMode);
    // The chain: a primary with one back buffer, in the mode's size and format.
    const scripted::Call chain = scripted::CallsNamed("CreateSurface").at(0);
    EXPECT_EQ(chain.args[0], DDSD_CAPS | DDSD_BACKBUFFERCOUNT);
    EXPECT_EQ(chain.args[1], DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    EXPECT_EQ(chain.args[4], 1);
    EXPECT_EQ(scripted::CallsNamed("GetAttachedSurface").at(0).args[0], DDSCAPS_BACKBUFFER);
    // Without its title the game sets up all the same.
    EXPECT_NE(backBuffer, nullptr);
    EXPECT_EQ(titleSurface, nullptr);
    EXPECT_EQ(Boxes(), DisplayBox("Could not open FinalTitle.bmp"));
    EXPECT_EQ(ReadFile("Log.txt"), "Could not open FinalTitle.bmp\n");
}

// The title goes before the object that made it; each handle is given back once, and a second
// release, or one before any set-up, gives back nothing.
TEST_F(DisplayTest, ReleaseGivesBackEachHandleOnceInOrder) {
    ReleaseDirectDraw();
    WriteFile("FinalTitle.bmp", FlatBitmapFile(700, 120, 0xFFFF));
    ASSERT_TRUE(InitDirectDraw());
    const std::vector<const void*> order = {backBuffer, primarySurface, titleSurface, directDraw4};
    const size_t from = scripted::Calls().size();
    ReleaseDirectDraw();
    ReleaseDirectDraw();
    std::vector<const void*> released;
    for (size_t i = from; i < scripted::Calls().size(); ++i)
        released.push_back(scripted::Calls()[i].object);
    EXPECT_EQ(released, order);
    EXPECT_FALSE(scripted::DisplayModeSet());
}

// A failing flip is tried again at once, at most three times a frame, with DDFLIP_WAIT on the
// primary, and never reported: the next frame tries again.
TEST_F(DisplayTest, AFailingFlipIsTriedThreeTimesAFrameUnreported) {
    ASSERT_TRUE(InitDirectDraw());
    scripted::FailCall("Flip", 4);
    FlipSurfaces();
    FlipSurfaces();
    const std::vector<scripted::Call> flips = scripted::CallsNamed("Flip");
    ASSERT_EQ(flips.size(), 5u);
    EXPECT_EQ(flips[0].object, primarySurface);
    EXPECT_EQ(flips[0].args[0], 0); // no target override
    EXPECT_EQ(flips[0].args[1], DDFLIP_WAIT);
    EXPECT_EQ(scripted::PresentCount(), 1);
    EXPECT_EQ(scripted::MessageBoxes().size(), 1u) << "the missing title's alone";
}

class TitleTest : public DisplayTest {
  protected:
    // The title loader needs the fourth interface and a cooperative level, not the screen.
    void SetUp() override {
        DisplayTest::SetUp();
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw4));
        first->Release();
        directDraw4->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    }
    // Writes the file and loads it as the title.
    LPDIRECTDRAWSURFACE4 Load(const std::string& bytes) {
        WriteFile("title.bmp", bytes);
        titleSurface = LoadBitmapSurface("title.bmp");
        return titleSurface;
    }
};

// A size the game can't show is refused before any surface is made: once, with a log line.
struct TitleSize {
    const char* name;
    LONG width;
    LONG height;
    const char* report;
};

std::ostream& operator<<(std::ostream& out, const TitleSize& size) {
    return out << size.width << " x " << size.height;
}

class TitleSizeTest : public TitleTest, public ::testing::WithParamInterface<TitleSize> {};

TEST_P(TitleSizeTest, IsRefusedBeforeAnySurfaceIsMade) {
    const TitleSize& size = GetParam();
    EXPECT_EQ(Load(BitmapFile(size.width, size.height, "")), nullptr);
    EXPECT_EQ(Boxes(), DisplayBox(size.report));
    EXPECT_EQ(ReadFile("Log.txt"), std::string(size.report) + "\n");
    EXPECT_EQ(scripted::CallCount("CreateSurface"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    BrokenOrTooSmall, TitleSizeTest,
    ::testing::Values(
        // A side of zero or less, or beyond 8,192, or 2^24 pixels or more: what a refusing
        // driver says.
        TitleSize{"NoWidth", 0, 120, "NewSurface Failed"},
        TitleSize{"TopDown", 700, -120, "NewSurface Failed"},
        TitleSize{"TooWide", 8193, 120, "NewSurface Failed"},
        TitleSize{"TooTall", 700, 8193, "NewSurface Failed"},
        TitleSize{"OnePixelRowOver2To24", 8192, 2049, "NewSurface Failed"},
        // Too small to fill the 700 x 120 the frame shows.
        TitleSize{"OneColumnShort", 699, 120,
                  "title.bmp is 699 x 120 pixels.\nThe title needs at least 700 x 120."},
        TitleSize{"OneRowShort", 700, 119,
                  "title.bmp is 700 x 119 pixels.\nThe title needs at least 700 x 120."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TitleTest, TheLargestSizesAreLoaded) {
    for (const auto& [width, height] : {std::pair<LONG, LONG>{8192, 2048}, {2048, 8192}}) {
        ASSERT_NE(Load(BitmapFile(width, height, "")), nullptr) << width << " x " << height;
        titleSurface->Release();
        titleSurface = nullptr;
    }
    EXPECT_EQ(Boxes(), "");
}

// A lock whose memory can't hold the image leaves nothing written and nothing behind.
void ShortPitch(DDSURFACEDESC2& desc) {
    desc.lPitch = static_cast<LONG>(desc.dwWidth * 2 - 2);
}
void NegativePitch(DDSURFACEDESC2& desc) {
    desc.lPitch = -desc.lPitch;
}
void ShortHeight(DDSURFACEDESC2& desc) {
    desc.dwHeight -= 1;
}
void NoMemory(DDSURFACEDESC2& desc) {
    desc.lpSurface = nullptr;
}

TEST_F(TitleTest, ALockThatCantHoldTheImageIsRefused) {
    for (auto hook : {ShortPitch, NegativePitch, ShortHeight, NoMemory}) {
        PortSetLockHook(hook);
        EXPECT_EQ(Load(FlatBitmapFile(700, 120, 0xFFFF)), nullptr);
    }
    EXPECT_EQ(Boxes(), DisplayBox("Lock Failed") + DisplayBox("Lock Failed") +
                           DisplayBox("Lock Failed") + DisplayBox("Lock Failed"));
    EXPECT_EQ(scripted::CallCount("Unlock"), 4);
}

// Kept on purpose: a failed unlock says "hi", logs nothing, and the title, all of it written,
// is used all the same.
TEST_F(TitleTest, AFailedUnlockKeepsTheTitle) {
    scripted::FailCall("Unlock", 1);
    LPDIRECTDRAWSURFACE4 surface = Load(FlatBitmapFile(700, 120, 0xFFFF));
    ASSERT_NE(surface, nullptr);
    surface->Unlock(nullptr); // still locked after the refused unlock
    EXPECT_EQ(SurfacePixels(surface), std::vector<WORD>(700 * 120, 0xFFFF));
    EXPECT_EQ(Boxes(), "hi|rgfdgsdg|0\n");
    EXPECT_EQ(ReadFile("Log.txt"), "");
}

} // namespace
