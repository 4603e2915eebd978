// The frame driver through the scripted host, with the game's own title: the golden first
// page, the steps of a frame, the display going away and coming back, the keys of a game not
// in front, the FPS counter.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "display/text.h"
#include "game/world.h"
#include "scripted_host.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using scripted::Page;

// The page is the golden first frame, byte for byte. scripts/make-golden writes the golden file
// again, on purpose, through VANTOREL_WRITE_GOLDEN.
void ExpectGolden(const Page& shown) {
    std::string bytes;
    for (WORD p : shown.pixels)
        bytes += {static_cast<char>(p & 0xFF), static_cast<char>(p >> 8)};
    if (const char* path = std::getenv("VANTOREL_WRITE_GOLDEN"))
        std::ofstream(path, std::ios::binary) << bytes;
    const std::string golden = ReadFile(VANTOREL_GOLDEN_DIR "/first-frame.rgb565");
    ASSERT_EQ(golden.size(), bytes.size()) << "tests/frame/golden/first-frame.rgb565";
    size_t wrong = 0;
    while (wrong < golden.size() && golden[wrong] == bytes[wrong])
        ++wrong;
    EXPECT_EQ(wrong, golden.size()) << "the first pixel off the golden frame: (" << wrong / 2 % 800
                                    << ", " << wrong / 1600 << ")";
}

// The lines drawn so far, each as "text at x,y in colour" (the COLORREF in hex).
std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    long long colour = 0;
    for (const scripted::Call& call : scripted::Calls()) {
        if (call.name == "SetTextColor")
            colour = call.args[0];
        if (call.name != "TextOutA")
            continue;
        std::ostringstream line;
        line << call.text[0] << " at " << call.args[0] << ',' << call.args[1] << " in " << std::hex
             << colour;
        lines.push_back(line.str());
    }
    return lines;
}

// Every test starts from a fresh host, with the game's title in a directory of its own.
class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        std::filesystem::copy_file(TITLE_FILE, "FinalTitle.bmp");
        scripted::SetPitchPadding(6); // rows of the pages and the title wider than the picture
        ASSERT_TRUE(StartDisplay());
        scripted::SetClock(5000);
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    TempDir dir;
};

TEST_F(FrameTest, TheFirstFrameIsTheGoldenOne) {
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    ExpectGolden(scripted::LastPresent());
}

// Every fill is a colour fill that waits for the blitter; the title is a plain blit of its
// top-left 700 x 120, one pixel wider and taller on the page.
TEST_F(FrameTest, TheFrameDrawsWithTheseBlits) {
    GameFrame();
    const std::vector<scripted::Call> blits = scripted::CallsNamed("Blt");
    ASSERT_EQ(blits.size(), 9u); // the clear, two paddles, the ball, four walls, the title
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(blits[i].object, backBuffer);
        EXPECT_EQ(blits[i].args[0], DDBLT_COLORFILL | DDBLT_WAIT) << "fill " << i;
    }
    EXPECT_EQ(blits[0].args[7], 0) << "the clear takes the whole page";
    const std::vector<long long> title(blits[8].args.begin(), blits[8].args.begin() + 7);
    const std::vector<long long> titleBlit = {
        DDBLT_WAIT, 0, reinterpret_cast<intptr_t>(titleSurface), 49, 1, 750, 122};
    EXPECT_EQ(title, titleBlit);
}

// Keys count only while the game's window is in front: another program's Escape, arrows, F5
// and Enter are not the game's.
TEST_F(FrameTest, KeysAreIgnoredWhileTheGameIsNotInFront) {
    youWin = true;
    for (int key : {VK_ESCAPE, VK_LEFT, VK_F5, VK_RETURN})
        scripted::SetKey(key, true);
    scripted::SetForeground(false);
    GameFrame();
    EXPECT_TRUE(youWin) << "the prompt stays";
    youWin = false;
    GameFrame();
    EXPECT_EQ(scripted::CallCount("PostQuitMessage"), 0);
    EXPECT_EQ(Player.x1, 380);
    EXPECT_FALSE(debugInfo);
    scripted::SetForeground(true);
    GameFrame();
    EXPECT_EQ(scripted::CallCount("PostQuitMessage"), 1);
}

// The overlay adds its lines in white, with the values after the play step.
TEST_F(FrameTest, TheOverlayShowsTheFrameRateAndTheCoordinates) {
    debugInfo = true;
    GameFrame();
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 11u);
    const std::vector<std::string> overlay(lines.begin() + 4, lines.end());
    const std::vector<std::string> expected = {
        "FPS: 1 at 1,150 in ffffff",        "Ball.Velx: -2 at 1,165 in ffffff",
        "Ball.Vely: -3 at 1,180 in ffffff", "Ball.x1: 395 at 1,195 in ffffff",
        "Ball.y1: 347 at 1,210 in ffffff",  "Player.x1: 380 at 1,225 in ffffff",
        "Player.x2: 420 at 1,240 in ffffff"};
    EXPECT_EQ(overlay, expected);
}

// A prompt is drawn in yellow in the frame that dismisses it, before the score line, which
// shows the values Enter left.
TEST_F(FrameTest, APromptIsDrawnInTheFrameThatDismissesIt) {
    const struct {
        bool* flag;
        const char* prompt;
        const char* score;
    } cases[] = {
        {&youWin, "You Win! at 368,295 in ffff", "Score: 1200 at 250,125 in ffffff"},
        {&youLose, "You Lose! at 368,295 in ffff", "Score: 800 at 250,125 in ffffff"},
        {&gameOver, "Game Over! at 368,295 in ffff", "Score: 0 at 250,125 in ffffff"},
    };
    scripted::SetKey(VK_RETURN, true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        Score = 1200;
        *c.flag = true;
        const size_t before = Lines().size();
        GameFrame();
        const std::vector<std::string> lines = Lines();
        ASSERT_EQ(lines.size(), before + 5);
        EXPECT_EQ(lines[before], c.prompt);
        EXPECT_EQ(lines[before + 1], c.score);
        EXPECT_FALSE(*c.flag);
    }
}

// While the screen is another program's, no frame reports, logs, plays or spins, and Escape
// still ends the game.
TEST_F(FrameTest, WhileTheScreenIsAwayFramesNeitherPlayNorReportNorSpin) {
    GameFrame();
    const LONG ballX1 = Ball.x1;
    scripted::TakeDisplay();
    scripted::SetKey(VK_RIGHT, true);
    for (int frame = 0; frame < 100; ++frame)
        GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(ReadFile("Log.txt"), "");
    EXPECT_EQ(Ball.x1, ballX1);
    EXPECT_EQ(Player.x1, 380);
    EXPECT_EQ(scripted::PresentCount(), 1);
    const std::vector<scripted::Call> sleeps = scripted::CallsNamed("Sleep");
    ASSERT_EQ(sleeps.size(), 100u);
    EXPECT_GE(sleeps[0].args[0], 10) << "a frame that gives up the processor";
    EXPECT_EQ(scripted::CallCount("Restore"), 0) << "the screen is not taken back";
    scripted::SetKey(VK_ESCAPE, true);
    GameFrame();
    EXPECT_EQ(scripted::CallNames().back(), "PostQuitMessage");
}

// Given back in the desktop's mode, the game sets its own again, and the next frame shows the
// whole scene with the title read again.
TEST_F(FrameTest, OnceTheScreenIsBackTheNextFrameShowsTheWholeScene) {
    GameFrame();
    const Page first = scripted::LastPresent();
    scripted::TakeDisplay();
    GameFrame();
    scripted::GiveDisplay();
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(scripted::CallCount("SetDisplayMode"), 2);
    EXPECT_EQ(scripted::DisplayWidth(), 800);
    EXPECT_EQ(scripted::DisplayBitsPerPixel(), 16);
    EXPECT_EQ(Ball.x1, 393) << "the second step of the ball";
    const Page& shown = scripted::LastPresent();
    const std::vector<WORD> titleNow(shown.pixels.begin(), shown.pixels.begin() + 800 * 122);
    const std::vector<WORD> titleThen(first.pixels.begin(), first.pixels.begin() + 800 * 122);
    EXPECT_EQ(titleNow, titleThen);
}

// Surfaces lost in the middle of a frame (here while its box is open) end that frame without
// a report, whether a blit or only the flip finds them lost; the next frame restores them.
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
        const int presents = scripted::PresentCount(); // the box's own page among them
        GameFrame();
        EXPECT_EQ(scripted::CallCount("Restore"), restores + 2);
        EXPECT_EQ(scripted::PresentCount(), presents + 1);
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
