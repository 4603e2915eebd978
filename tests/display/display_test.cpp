// The display device, the flip's pace and the title loader, through the scripted host, whose
// Sleep moves the clock on by its time.
#include <windows.h>
#include <mmsystem.h>

#include "display/device.h"
#include "display/pacing.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "support/test_support.h"
#include "test_hooks.h"

namespace {

const HWND GameWindow = reinterpret_cast<HWND>(0x40);

// A fresh host in a directory of its own, with the game's window; everything given back at the end.
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
    // Sets the display up afresh with a 24-bit title of this size, its pixels missing (read as
    // black); the title surface, or none.
    LPDIRECTDRAWSURFACE4 SetUpWithTitle(LONG width, LONG height) {
        WriteTitle(width, height);
        ReleaseDirectDraw();
        EXPECT_TRUE(InitDirectDraw());
        return titleSurface;
    }
    TempDir dir;
};

// The title goes before the object that made it; each handle is given back once, and a second
// release gives back nothing.
TEST_F(DisplayTest, ReleaseGivesBackEachHandleOnceInOrder) {
    ASSERT_NE(SetUpWithTitle(700, 120), nullptr);
    const std::vector<const void*> order = {backBuffer, primarySurface, titleSurface, directDraw4};
    const size_t from = scripted::Calls().size();
    ReleaseDirectDraw();
    ReleaseDirectDraw();
    std::vector<const void*> released;
    for (size_t i = from; i < scripted::Calls().size(); ++i)
        released.push_back(scripted::Calls()[i].object);
    EXPECT_EQ(released, order);
}

// The set-up's calls in order, with what each passes (Any: an out pointer), and nothing reported.
TEST_F(DisplayTest, SetUpMakesItsCallsInOrderWithTheirArguments) {
    const long long Any = -1;
    const struct {
        const char* call;
        std::vector<long long> args;
    } expected[] = {
        {"DirectDrawCreate", {0, Any, 0}},            // the active driver, no outer object
        {"QueryInterface", {0x9C59509A, Any}},        // IID_IDirectDraw4's first part
        {"Release", {}},                              // the first interface, no longer needed
        {"SetCooperativeLevel", {0x40, 0x13}},        // the window; full-screen, reboot, exclusive
        {"SetDisplayMode", {800, 600, 16, 0, 0}},     // the default refresh rate
        {"CreateSurface", {0x21, 0x218, 0, 0, 1, 0}}, // flags, caps, count; primary, flip, complex
        {"GetAttachedSurface", {4, Any}},             // the back buffer
        {"CreateSurface", {7, 0x40, 700, 120, 0, 0}}, // flags, caps, width, height; off-screen
        {"Lock", {0, 1, 0}},                          // the whole surface, waiting
        {"Unlock", {0}},
    };
    SetUpWithTitle(700, 120);
    const std::vector<scripted::Call> calls = scripted::Calls();
    ASSERT_EQ(calls.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(calls[i].name);
        EXPECT_EQ(calls[i].name, expected[i].call);
        for (size_t a = 0; a < expected[i].args.size(); ++a)
            EXPECT_EQ(expected[i].args[a] == Any ? Any : calls[i].args[a], expected[i].args[a]);
    }
    EXPECT_EQ(Boxes(), "");
}

// A failing flip is tried at most three times a frame, with DDFLIP_WAIT, unreported. A missing
// title file is reported once.
TEST_F(DisplayTest, AFailingFlipIsTriedThreeTimesAFrame) {
    ASSERT_TRUE(InitDirectDraw());
    scripted::FailCall("Flip", 4);
    FlipSurfaces();
    EXPECT_EQ(scripted::CallCount("Flip"), 3);
    FlipSurfaces();
    const std::vector<scripted::Call> flips = scripted::CallsNamed("Flip");
    ASSERT_EQ(flips.size(), 5u);
    EXPECT_EQ(flips[0].args[1], DDFLIP_WAIT);
    EXPECT_EQ(scripted::PresentCount(), 1);
    EXPECT_EQ(Boxes(), "window|Could not open FinalTitle.bmp|ERROR|16");
}

// A page sooner than its deadline waits for it (1/60 s apart, in whole sixtieths of a second),
// a later one does not, and the deadlines go on from where they were unless a page is 50 ms
// late or more; then, as after a stall, they start again from it. Across the clock's wrap too.
TEST_F(DisplayTest, AFlipWaitsForItsDeadlineAndALateOneDoesNot) {
    ASSERT_TRUE(InitDirectDraw());
    const struct {
        DWORD clock; // when the frame flips
        DWORD wait;
    } flips[] = {
        {5000, 0},        // the first page, at once
        {5001, 16},       // 5017
        {5017, 17},       // 5034
        {5050, 0},        // on the dot: 5050 is 3/60 s on
        {5070, 0},        // 3 ms late: the next deadline stays at 5084
        {5071, 13},       // 5084
        {5149, 0},        // 49 ms late, the most made good: 5117, 5134 and 5150 are due at once
        {5150, 0},        //
        {5151, 0},        //
        {5152, 0},        //
        {5153, 14},       // 5167
        {5234, 0},        // 50 ms late: afresh from 5234
        {5235, 16},       // 5251
        {9000, 0},        // after a stall of seconds, afresh: no burst
        {9001, 16},       // 9017
        {0xFFFFFFF0, 0},  // far from the last deadline: afresh
        {0xFFFFFFF5, 12}, // to 0x1, past the wrap
        {0x10, 2},        // 0x12
        {0xFFFFFFC0, 0},  // afresh, the next deadline 0xFFFFFFD1
        {0x5, 0},         // late across the wrap: afresh, never a wait of 49 days
        {0x6, 16},        // 0x16
    };
    for (const auto& flip : flips) {
        scripted::SetClock(flip.clock);
        const size_t from = scripted::Calls().size();
        FlipSurfaces();
        EXPECT_EQ(timeGetTime() - flip.clock, flip.wait) << "at " << flip.clock;
        EXPECT_EQ(scripted::CallNames(from).at(0), flip.wait ? "Sleep" : "Flip") << flip.clock;
    }
}

// Long runs on displays of every pace: pages never come faster than 60 a second on average,
// with no drift, and a display at 60 Hz whose flip waits for its refresh misses none. A
// window's pages keep the same pace.
TEST_F(DisplayTest, FlipsKeepSixtyASecondWithoutDriftOnAnyDisplay) {
    ASSERT_TRUE(InitDirectDraw());
    scripted::SetKeepPresents(false);
    const struct {
        const char* display;
        DWORD work;     // ms from one flip's return to the next flip
        int refreshHz;  // the flip waits for the next refresh; 0: it does not wait
        int sleepsOver; // ms each Sleep oversleeps by, as Windows' may
        DWORD frames;
        DWORD ms;        // the frames take, from the first flip's start to the last one's end
        DWORD tolerance; // either way
        bool inWindow = false;
    } runs[] = {
        {"never waits", 0, 0, 0, 10000, 166667, 17},
        {"never waits, oversleeping", 3, 0, 2, 10000, 166667, 17},
        {"60 Hz", 2, 60, 0, 3600, 60000, 0},
        {"144 Hz", 1, 144, 0, 10000, 166667, 17},
        {"slower than 60 a second", 18, 0, 0, 1001, 18000, 0},
        {"in a window", 0, 0, 0, 10000, 166667, 17, true},
    };
    scripted::SetRecording(false);
    for (const auto& run : runs) {
        SCOPED_TRACE(run.display);
        framePacer = {0, 0};
        windowed = run.inWindow;
        const DWORD start = 1000;
        scripted::SetClock(start);
        for (DWORD frame = 0; frame < run.frames; ++frame) {
            const DWORD before = timeGetTime();
            FlipSurfaces();
            if (timeGetTime() != before) // it slept
                scripted::AdvanceClock(run.sleepsOver);
            if (run.refreshHz) {
                // The refresh after the flip, on the display's own clock since `start`.
                const DWORD refreshes = (timeGetTime() - start) * run.refreshHz / 1000 + 1;
                scripted::SetClock(start + (refreshes * 1000 + run.refreshHz - 1) / run.refreshHz);
            }
            if (frame + 1 < run.frames)
                scripted::AdvanceClock(run.work);
        }
        const DWORD took = timeGetTime() - start;
        EXPECT_NEAR(took, run.ms, run.tolerance);
    }
}

// A size the game can't show is refused, once, before its surface is made: a side of zero or
// less or over 8192, or over 2^24 pixels, as a refusing driver says; less than 700 x 120 by name.
TEST_F(DisplayTest, ATitleIsLoadedOnlyInASizeTheGameCanShow) {
    const char* const tooSmall = " pixels.\nThe title needs at least 700 x 120.|ERROR|16";
    const struct {
        LONG width, height;
        std::string report;
    } cases[] = {
        {0, 120, "window|NewSurface Failed|ERROR|16"},
        {700, 0, "window|NewSurface Failed|ERROR|16"},
        {700, -120, "window|NewSurface Failed|ERROR|16"},
        {8193, 120, "window|NewSurface Failed|ERROR|16"},
        {700, 8193, "window|NewSurface Failed|ERROR|16"},
        {8192, 2049, "window|NewSurface Failed|ERROR|16"},
        {2049, 8192, "window|NewSurface Failed|ERROR|16"},
        {699, 120, "window|FinalTitle.bmp is 699 x 120" + std::string(tooSmall)},
        {700, 119, "window|FinalTitle.bmp is 700 x 119" + std::string(tooSmall)},
        {700, 120, ""},
        {8192, 2048, ""},
        {2048, 8192, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        ResetEverything();
        mainWindow = GameWindow;
        EXPECT_EQ(SetUpWithTitle(c.width, c.height) != nullptr, c.report.empty());
        EXPECT_EQ(Boxes(), c.report);
        EXPECT_EQ(scripted::CallCount("CreateSurface"), 1 + c.report.empty());
    }
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
void ShortWidth(DDSURFACEDESC2& desc) {
    desc.dwWidth -= 1;
}
void NoMemory(DDSURFACEDESC2& desc) {
    desc.lpSurface = nullptr;
}

TEST_F(DisplayTest, ALockThatCantHoldTheImageIsRefused) {
    for (auto hook : {ShortPitch, NegativePitch, ShortHeight, ShortWidth, NoMemory}) {
        ResetEverything();
        mainWindow = GameWindow;
        PortSetLockHook(hook);
        EXPECT_EQ(SetUpWithTitle(700, 120), nullptr);
        EXPECT_EQ(Boxes(), "window|Lock Failed|ERROR|16");
        EXPECT_EQ(scripted::CallCount("Unlock"), 1);
        EXPECT_EQ(PortLiveObjects(), 3) << "the refused title is given back at once";
    }
}

} // namespace
