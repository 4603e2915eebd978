// The frame driver through the scripted host, with the game's own title.

#include "display/device.h"
#include "display/frame.h"
#include "game/world.h"
#include "shell/main_window.h"
#include "scripted_host.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using scripted::Page;

// The page is the golden first frame; scripts/make-golden writes it through VANTOREL_WRITE_GOLDEN.
void ExpectGolden(const Page& shown) {
    std::string bytes;
    for (WORD p : shown.pixels)
        bytes += {static_cast<char>(p & 0xFF), static_cast<char>(p >> 8)};
    if (const char* path = std::getenv("VANTOREL_WRITE_GOLDEN"))
        std::ofstream(path, std::ios::binary) << bytes;
    const std::string golden = ReadFile(VANTOREL_GOLDEN_DIR "/first-frame.rgb565");
    EXPECT_TRUE(golden == bytes) << "the page is not tests/frame/golden/first-frame.rgb565";
}

// Every test starts from a fresh host, with the game's title in a directory of its own.
class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        std::filesystem::copy_file(TITLE_FILE, "FinalTitle.bmp");
        scripted::SetPitchPadding(6); // rows of the pages and the title wider than the picture
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "WindowClass";
        RegisterClassExA(&windowClass);
        mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0,
                                     1024, 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(InitDirectDraw());
        scripted::SetClock(5000);
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    TempDir dir;
};

// The first frame, drawn with blits that wait for the blitter, is the golden one.
TEST_F(FrameTest, TheFirstFrameIsTheGoldenOne) {
    GameFrame();
    ExpectGolden(scripted::LastPresent());
    for (const scripted::Call& blit : scripted::CallsNamed("Blt"))
        EXPECT_TRUE(blit.args[0] & DDBLT_WAIT);
}

// Another program's Escape, arrows and F5 are not the game's.
TEST_F(FrameTest, KeysAreIgnoredWhileTheGameIsNotInFront) {
    for (int key : {VK_ESCAPE, VK_LEFT, VK_F5})
        scripted::SetKey(key, true);
    scripted::SetForeground(false);
    GameFrame();
    EXPECT_EQ(scripted::CallCount("PostQuitMessage"), 0);
    EXPECT_EQ(Player.x1, 380);
    EXPECT_FALSE(debugInfo);
    scripted::SetForeground(true);
    GameFrame();
    EXPECT_EQ(scripted::CallCount("PostQuitMessage"), 1);
}

// The overlay follows the score and help lines, with the values after the play step; its
// frame rate counts this first frame.
TEST_F(FrameTest, TheOverlayShowsTheFrameRateAndTheCoordinates) {
    debugInfo = true;
    GameFrame();
    std::vector<std::string> overlay;
    for (const scripted::Call& line : scripted::CallsNamed("TextOutA"))
        overlay.push_back(line.text[0]);
    overlay.erase(overlay.begin(), overlay.begin() + 4);
    const std::vector<std::string> expected = {"FPS: 1",        "Ball.Velx: -2", "Ball.Vely: -3",
                                               "Ball.x1: 395",  "Ball.y1: 347",  "Player.x1: 380",
                                               "Player.x2: 420"};
    EXPECT_EQ(overlay, expected);
}

// A prompt is drawn first, in yellow, in the frame that dismisses it.
TEST_F(FrameTest, APromptIsDrawnInTheFrameThatDismissesIt) {
    youWin = true;
    scripted::SetKey(VK_RETURN, true);
    GameFrame();
    const scripted::Call prompt = scripted::CallsNamed("TextOutA").at(0);
    EXPECT_EQ(prompt.text[0], "You Win!");
    EXPECT_EQ(prompt.args[0], 368);
    EXPECT_EQ(scripted::CallsNamed("SetTextColor").at(0).args[0], 0xFFFF);
    EXPECT_FALSE(youWin);
}

// While the screen is another program's, frames neither play, report, show nor spin; given back
// in the desktop's mode, the game sets its own, and shows the whole scene, the title read again.
TEST_F(FrameTest, WhileTheScreenIsAwayFramesWaitAndOnceBackShowTheWholeScene) {
    GameFrame();
    const Page first = scripted::LastPresent();
    scripted::TakeDisplay();
    for (int frame = 0; frame < 10; ++frame)
        GameFrame();
    EXPECT_EQ(Ball.x1, 395) << "the first step of the ball alone";
    EXPECT_EQ(scripted::PresentCount(), 1);
    EXPECT_EQ(scripted::CallCount("Sleep"), 10);
    EXPECT_GE(scripted::CallsNamed("Sleep").at(0).args[0], 10) << "a frame that gives up the CPU";
    EXPECT_EQ(scripted::CallCount("Restore"), 0) << "the screen is not taken back";
    scripted::GiveDisplay();
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(scripted::CallCount("SetDisplayMode"), 2);
    EXPECT_EQ(Ball.x1, 393) << "the second step of the ball";
    const Page& shown = scripted::LastPresent();
    const std::vector<WORD> titleNow(shown.pixels.begin(), shown.pixels.begin() + 800 * 122);
    const std::vector<WORD> titleThen(first.pixels.begin(), first.pixels.begin() + 800 * 122);
    EXPECT_EQ(titleNow, titleThen);
}

// Surfaces lost mid-frame (while its box is open) end it unreported, found by a blit or the
// flip; the next frame restores them.
TEST_F(FrameTest, SurfacesLostDuringAFrameEndItUnreported) {
    const struct {
        int failingBlit; // the blit whose box is open when the surfaces go
        int blits;       // made in that frame
        int flips;
    } cases[] = {
        {1, 3, 0}, // the player's paddle: the next blit finds them lost
        {8, 9, 1}, // the title, the last blit: the flip finds them lost, and is tried once
    };
    scripted::OnMessageBox([](const scripted::MessageBoxRecord&) {
        PortLoseSurfaces();
        return IDOK;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingBlit);
        const int restores = scripted::CallCount("Restore");
        const int flips = scripted::CallCount("Flip");
        const int blits = scripted::CallCount("Blt");
        const size_t boxes = scripted::MessageBoxes().size();
        scripted::FailCallAfter("Blt", c.failingBlit);
        GameFrame();
        EXPECT_EQ(scripted::MessageBoxes().size(), boxes + 1);
        EXPECT_EQ(scripted::CallCount("Blt"), blits + c.blits);
        EXPECT_EQ(scripted::CallCount("Flip"), flips + c.flips);
        EXPECT_EQ(scripted::CallCount("Restore"), restores) << "not in the same frame";
        GameFrame();
        EXPECT_EQ(scripted::CallCount("Restore"), restores + 2);
    }
}

// GetFps at each clock reading: a new sample once strictly past the deadline, across the wrap.
TEST(FpsTest, SamplesOnceTheClockIsStrictlyPastTheDeadline) {
    ResetEverything();
    const struct {
        DWORD clock;
        int fps;
    } calls[] = {{1000, 1},                   // the first call samples at once
                 {2000, 1},                   // level with the deadline: not yet
                 {2001, 2},                   // strictly past it
                 {0xFFFFFE00, 1},             // long after: at once
                 {0xFFFFFF00, 1}, {0x1E8, 1}, // across the wrap, level with the deadline
                 {0x1E9, 3}};
    for (const auto& call : calls) {
        scripted::SetClock(call.clock);
        EXPECT_EQ(GetFps(), call.fps) << "at " << call.clock;
    }
}

} // namespace
