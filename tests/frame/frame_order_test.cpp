// One frame, step by step: Escape, the clear, the prompt or the play step, the scene, the
// text and the flip, and what a failure at each step does to the rest of the frame.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "frame_support.h"
#include "host.h"
#include "game/world.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr WORD Green = 0x0FC0;
constexpr WORD Grey = 0xA514;

std::vector<WORD> PagePixels() {
    return scripted::LastPresent().pixels;
}
WORD At(int x, int y) {
    return scripted::LastPresent().At(x, y);
}

// The first lit pixel of a line, scanning its cells row by row.
POINT FirstInk(const TextLine& line) {
    for (int y = line.y; y < line.y + 16; ++y)
        for (int x = line.x; x < line.x + 8 * static_cast<int>(line.text.size()); ++x)
            if (IsInk(line, x, y))
                return {x, y};
    return {-1, -1};
}

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        WriteBlockTitle("FinalTitle.bmp");
        ASSERT_TRUE(StartDisplay());
        ASSERT_TRUE(scripted::MessageBoxes().empty());
        scripted::SetClock(5000);
    }
    void TearDown() override {
        StopDisplay();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    TempDir dir; // the working directory: the title file and the log
};

TEST_F(FrameTest, EscapePostsTheQuitMessageAndDoesNothingElse) {
    scripted::SetKey(VK_ESCAPE, true);
    const BallObject ball = Ball;
    const int callsBefore = scripted::CallCount("Blt") + scripted::CallCount("GetDC");
    for (int frame = 0; frame < 3; ++frame)
        GameFrame();

    EXPECT_EQ(scripted::CallCount("Blt") + scripted::CallCount("GetDC"), callsBefore);
    EXPECT_EQ(scripted::CallCount("Flip"), 0);
    EXPECT_EQ(scripted::PresentCount(), 0);
    EXPECT_EQ(Ball.x1, ball.x1);
    EXPECT_EQ(Ball.y1, ball.y1);
    EXPECT_EQ(Player.rect.right, 0) << "nothing was drawn, not even the rectangles refreshed";
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(FrameTest, AFailedClearEndsTheFrameWithOneReport) {
    const int blts = scripted::CallCount("Blt");
    scripted::FailCall("Blt", 1);
    GameFrame();

    ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
    const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
    EXPECT_EQ(box.owner, mainWindow);
    EXPECT_EQ(box.text, "Clear Screen Blt Failed");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.style, MB_OK);
    EXPECT_EQ(ReadFile("Log.txt"), "Clear Screen Blt Failed\n");
    EXPECT_EQ(Ball.x1, ServeX1) << "no play step";
    EXPECT_EQ(scripted::CallCount("Blt"), blts + 1);
    EXPECT_EQ(scripted::CallCount("GetDC"), 0);
    EXPECT_EQ(scripted::CallCount("Flip"), 0);

    GameFrame(); // the next frame is whole again
    EXPECT_EQ(scripted::MessageBoxes().size(), 1u);
    EXPECT_EQ(scripted::PresentCount(), 1);
}

// Each blit of the scene failing on its own: one box with its text, one log line with its
// own spelling, that item missing from the page, and everything after it still drawn.
TEST_F(FrameTest, AFailedSceneBlitIsReportedAndTheFrameGoesOn) {
    const struct {
        const char* box;
        const char* log;
        int x, y; // a pixel of the item, in the first frame
        WORD colour;
    } cases[] = {
        {"Player Paddle Blt Failed", "Player Paddle Blt Failed", 400, 552, Green},
        {"Enemy Paddle Blt Failed", "Enemy Paddle Blt Failed", 400, 152, Green},
        {"Ball Blt Failed", "Ball Blt Failed", 397, 349, Green},
        {"SideTop blt Failed", "SideTop Blt Failed", 400, 144, Grey},
        {"SideRight blt Failed", "SideRight Blt Failed", 701, 300, Grey},
        {"SideBottom blt Failed", "SideBottom Blt Failed", 400, 561, Grey},
        {"SideLeft blt Failed", "SideLeft Blt Failed", 99, 300, Grey},
        {"Title blt Failed", "Title Blt Failed", 100, 60, BlockColour(0, 1)},
    };
    const POINT help = FirstInk({165, 570, "ESC", 0});
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        ResetEverything();
        WriteBlockTitle("FinalTitle.bmp");
        std::remove("Log.txt");
        ASSERT_TRUE(StartDisplay());
        const int blts = scripted::CallCount("Blt");
        scripted::FailCallAfter("Blt", 1 + i); // the clear goes through
        GameFrame();

        ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
        const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
        EXPECT_EQ(box.owner, mainWindow);
        EXPECT_EQ(box.text, cases[i].box);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.style, MB_OK);
        EXPECT_EQ(ReadFile("Log.txt"), std::string(cases[i].log) + "\n");
        EXPECT_EQ(scripted::CallCount("Blt"), blts + 9);
        ASSERT_EQ(scripted::PresentCount(), 1);
        for (int j = 0; j < 8; ++j)
            EXPECT_EQ(At(cases[j].x, cases[j].y) == cases[j].colour, j != i) << "item " << j;
        EXPECT_EQ(At(help.x, help.y), 0xCE79) << "the help line is still drawn";
        StopDisplay();
    }
}

TEST_F(FrameTest, WithoutATitleSurfaceTheTitleIsLeftOutSilently) {
    titleSurface->Release();
    titleSurface = nullptr;
    const int blts = scripted::CallCount("Blt");
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(scripted::CallCount("Blt"), blts + 8); // the clear, three objects, four walls
    ASSERT_EQ(scripted::PresentCount(), 1);
    EXPECT_EQ(At(100, 60), 0x0000);
    EXPECT_EQ(At(400, 144), Grey);
}

// A pending prompt with Enter held: its text is drawn in this frame, while everything drawn
// after it already shows the game as ResolvePrompt left it.
TEST_F(FrameTest, APromptIsDrawnInTheFrameThatDismissesIt) {
    const struct {
        bool* flag;
        const char* text;
        const char* score;
        const char* lives;
        const char* level;
    } cases[] = {
        {&youWin, "You Win!", "Score: 1200", "Lives: 0", "Level: 3"},
        {&youLose, "You Lose!", "Score: 800", "Lives: 0", "Level: 1"},
        {&gameOver, "Game Over!", "Score: 0", "Lives: 3", "Level: 1"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n++));
        ResetEverything();
        WriteBlockTitle("FinalTitle.bmp");
        ASSERT_TRUE(StartDisplay());
        *c.flag = true;
        Score = 1200;
        Lives = 0;
        Level = 3;
        Enemy.x1 = 300;
        Enemy.x2 = 340;
        Ball.Velx = Ball.Vely = 0;
        scripted::SetKey(VK_RETURN, true);
        GameFrame();

        ASSERT_EQ(scripted::PresentCount(), 1);
        EXPECT_FALSE(*c.flag);
        const std::vector<WORD> black(ScreenWidth * ScreenHeight, 0);
        const std::vector<TextLine> lines = {{368, 295, c.text, 0xFFE0},
                                             {250, 125, c.score, 0xFFFF},
                                             {110, 125, c.lives, 0xFFFF},
                                             {180, 125, c.level, 0xFFFF}};
        // Row 125 to 141 and the prompt's cells lie on black: compare them there.
        std::vector<WORD> page = PagePixels();
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x)
                if (!((y >= 125 && y < 141) || (y >= 295 && y < 311 && x >= 368 && x < 448)))
                    page[y * ScreenWidth + x] = 0;
        EXPECT_TRUE(OnlyTextChanged(black, page, lines));
        EXPECT_EQ(At(381, 152), Green) << "the computer's paddle at its restart position";
        EXPECT_EQ(At(320, 152), 0x0000);
        StopDisplay();
    }
}

TEST_F(FrameTest, APromptWaitsForEnterWithEverythingAtRest) {
    youLose = true;
    ServeBall();
    GameFrame();
    GameFrame();
    EXPECT_TRUE(youLose);
    EXPECT_EQ(Ball.x1, ServeX1);
    EXPECT_EQ(Ball.y1, ServeY1);
    EXPECT_EQ(scripted::PresentCount(), 2);
}

// The overlay's seven lines at x = 1, over the left wall as well: only their glyph pixels
// differ from the same frame drawn without it.
TEST_F(FrameTest, TheOverlayAddsSevenLinesAndNothingElse) {
    GameFrame();
    const std::vector<WORD> without = PagePixels();

    ResetEverything();
    WriteBlockTitle("FinalTitle.bmp");
    ASSERT_TRUE(StartDisplay());
    scripted::SetClock(5000);
    debugInfo = true;
    GameFrame();

    auto line = [](int y, const std::string& text) { return TextLine{1, y, text, 0xFFFF}; };
    const std::vector<TextLine> lines = {
        line(150, "FPS: 1"),
        line(165, "Ball.Velx: " + std::to_string(Ball.Velx)),
        line(180, "Ball.Vely: " + std::to_string(Ball.Vely)),
        line(195, "Ball.x1: " + std::to_string(Ball.x1)),
        line(210, "Ball.y1: " + std::to_string(Ball.y1)),
        line(225, "Player.x1: " + std::to_string(Player.x1)),
        line(240, "Player.x2: " + std::to_string(Player.x2)),
    };
    EXPECT_EQ(Ball.x1, ServeX1 - 2) << "the values after this frame's step";
    EXPECT_TRUE(OnlyTextChanged(without, PagePixels(), lines));
}

} // namespace
