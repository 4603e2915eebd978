// The frame driver through the scripted host, with the game's own title.

#include "display/device.h"
#include "display/frame.h"
#include "game/world.h"
#include "shell/main_window.h"
#include "scripted_host.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <cstdio>
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

// A recorded blit: its flags, its fill colour, its destination (0,0,0,0 for the whole page), and
// whether it copies from the title.
std::string Blit(const scripted::Call& blt) {
    char text[64];
    std::snprintf(text, sizeof text, "%08llx %04llx %lld,%lld,%lld,%lld", blt.args[0], blt.args[1],
                  blt.args[3], blt.args[4], blt.args[5], blt.args[6]);
    return text + std::string(blt.args[2] ? " from the title" : "");
}

// The first frame is the golden one, drawn by these blits (COLORFILL 0x400, WAIT 0x1000000) in
// this order: the fills cover what overlaps in the picture.
TEST_F(FrameTest, TheFirstFrameIsTheGoldenOne) {
    GameFrame();
    ExpectGolden(scripted::LastPresent());
    std::vector<std::string> blits;
    for (const scripted::Call& blt : scripted::CallsNamed("Blt"))
        blits.push_back(Blit(blt));
    const std::vector<std::string> expected = {
        "01000400 0000 0,0,0,0",                     // the clear, black
        "01000400 0fc0 380,550,420,555",             // the player's paddle, green
        "01000400 0fc0 380,150,420,155",             // the computer's, in the player's green
        "01000400 0fc0 395,347,400,352",             // the ball, after its first step
        "01000400 a514 98,143,702,145",              // the walls, grey: top, right, bottom, left
        "01000400 a514 700,145,702,560",             //
        "01000400 a514 98,560,702,562",              //
        "01000400 a514 98,145,100,560",              //
        "01000000 0000 49,1,750,122 from the title", // the title, stretched one pixel wider and
                                                     // taller
    };
    EXPECT_EQ(blits, expected);
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

// The lines of a frame, "x,y colour text" each, the colour the one set for it.
std::vector<std::string> Lines(size_t from) {
    std::vector<std::string> lines;
    long long colour = -1;
    for (size_t i = from; i < scripted::Calls().size(); ++i) {
        const scripted::Call& call = scripted::Calls()[i];
        char text[32];
        std::snprintf(text, sizeof text, "%lld,%lld %06llx ", call.args[0], call.args[1], colour);
        if (call.name == "SetTextColor")
            colour = call.args[0];
        if (call.name == "TextOutA")
            lines.push_back(text + call.text[0]);
    }
    return lines;
}

// Every line in place and colour: the prompt first, in the frame that dismisses it, then the
// score and help lines and the overlay with the values after Enter. The frame rate counts only
// frames drawn with the overlay.
TEST_F(FrameTest, EveryLineIsDrawnInItsPlaceAndColour) {
    GameFrame();
    scripted::SetClock(5001);
    GameFrame();
    scripted::SetClock(6002);
    youLose = true;
    Score = 700;
    Lives = 2;
    Level = 2;
    debugInfo = true;
    scripted::SetKey(VK_RETURN, true);
    const size_t from = scripted::Calls().size();
    GameFrame();
    const std::vector<std::string> expected = {
        "368,295 00ffff You Lose!",
        "250,125 ffffff Score: 300",
        "110,125 ffffff Lives: 2",
        "180,125 ffffff Level: 1",
        "165,570 cccccc ESC to quit, arrow keys to move, Enter on prompt and F5 for debug info.",
        "1,150 ffffff FPS: 1",
        "1,165 ffffff Ball.Velx: -2",
        "1,180 ffffff Ball.Vely: -3",
        "1,195 ffffff Ball.x1: 395",
        "1,210 ffffff Ball.y1: 347",
        "1,225 ffffff Player.x1: 380",
        "1,240 ffffff Player.x2: 420",
    };
    EXPECT_EQ(Lines(from), expected);
    // Each line on a context of its own: colour, magenta behind it but transparent, then the
    // context's own colours and mode put back before it is given back.
    std::string calls;
    for (size_t i = from; calls.find("ReleaseDC") == std::string::npos; ++i) {
        const scripted::Call& call = scripted::Calls().at(i);
        char arg[16];
        std::snprintf(arg, sizeof arg, ":%llx ", call.args[0]);
        if (call.name.find("DC") != std::string::npos || !calls.empty())
            calls += call.name + (call.name.rfind("Set", 0) == 0 ? arg : " ");
    }
    EXPECT_EQ(calls, "GetDC SetTextColor:ffff SetBkColor:ff00ff SetBkMode:1 TextOutA "
                     "SetTextColor:0 SetBkColor:ffffff SetBkMode:2 ReleaseDC ");

    // The other prompts; a line whose device context can't be had is left out (here the score).
    youWin = true;
    size_t at = scripted::Calls().size();
    scripted::FailCallAfter("GetDC", 1);
    GameFrame();
    EXPECT_EQ(Lines(at).at(0), "368,295 00ffff You Win!");
    EXPECT_EQ(Lines(at).at(1), "110,125 ffffff Lives: 2");
    EXPECT_EQ(scripted::PresentCount(), 4);
    gameOver = true;
    at = scripted::Calls().size();
    GameFrame();
    EXPECT_EQ(Lines(at).at(0), "368,295 00ffff Game Over!");
}

// A title larger than 700 x 120 shows its top-left 700 x 120: here white, the rest black.
TEST_F(FrameTest, ALargerTitleShowsItsTopLeft) {
    std::string pixels;
    for (int y = 120; y >= 0; --y)
        for (int x = 0; x <= 700; ++x)
            pixels += std::string(3, x < 700 && y < 120 ? '\xFF' : '\0');
    WriteTitle(701, 121, pixels);
    ReleaseDirectDraw();
    ASSERT_TRUE(InitDirectDraw());
    GameFrame();
    const Page& shown = scripted::LastPresent();
    for (int y = 1; y < 122; ++y)
        for (int x = 49; x < 750; ++x)
            ASSERT_EQ(shown.At(x, y), 0xFFFF) << x << "," << y;
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
    EXPECT_EQ(scripted::PresentCount(), 2) << "the whole scene, the title restored as well";
    const Page& shown = scripted::LastPresent();
    const std::vector<WORD> titleNow(shown.pixels.begin(), shown.pixels.begin() + 800 * 122);
    const std::vector<WORD> titleThen(first.pixels.begin(), first.pixels.begin() + 800 * 122);
    EXPECT_EQ(titleNow, titleThen);
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
