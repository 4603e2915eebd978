// One frame, step by step: Escape, the clear, the prompt or the play step, the scene, the
// text and the flip, and what a failure at each step does to the rest of the frame.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "frame_support.h"
#include "game/world.h"
#include "host.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr WORD Green = 0x0FC0;
constexpr WORD Grey = 0xA514;

WORD At(int x, int y) {
    return scripted::LastPresent().At(x, y);
}

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { Restart(); }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    // The starting state, with a title of flat blocks and an empty log.
    void Restart() {
        ResetEverything();
        std::remove("Log.txt");
        WriteBlockTitle("FinalTitle.bmp");
        ASSERT_TRUE(StartDisplay());
        ASSERT_TRUE(scripted::MessageBoxes().empty());
        scripted::SetClock(5000);
    }
    void ExpectOneReport(const std::string& box, const std::string& log) {
        ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
        const scripted::MessageBoxRecord& shown = scripted::MessageBoxes()[0];
        EXPECT_EQ(shown.owner, mainWindow);
        EXPECT_EQ(shown.text, box);
        EXPECT_EQ(shown.caption, "Error");
        EXPECT_EQ(shown.style, MB_OK);
        EXPECT_EQ(ReadFile("Log.txt"), log + "\n");
    }
    TempDir dir;
};

TEST_F(FrameTest, EscapePostsTheQuitMessageAndDoesNothingElse) {
    scripted::SetKey(VK_ESCAPE, true);
    const size_t calls = scripted::Calls().size();
    for (int frame = 0; frame < 3; ++frame)
        GameFrame();
    EXPECT_EQ(scripted::Calls().size(), calls + 3) << "GetAsyncKeyState and PostQuitMessage only";
    EXPECT_EQ(scripted::PresentCount(), 0);
    EXPECT_EQ(Ball.x1, ServeX1);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(FrameTest, AFailedClearEndsTheFrame) {
    const int blts = scripted::CallCount("Blt");
    scripted::FailCall("Blt", 1);
    GameFrame();
    ExpectOneReport("Clear Screen Blt Failed", "Clear Screen Blt Failed");
    EXPECT_EQ(Ball.x1, ServeX1) << "no play step";
    EXPECT_EQ(scripted::CallCount("Blt"), blts + 1);
    EXPECT_EQ(scripted::CallCount("GetDC"), 0);
    EXPECT_EQ(scripted::CallCount("Flip"), 0);
}

// Each blit of the scene failing alone: its own report, that item missing, the rest drawn.
TEST_F(FrameTest, AFailedSceneBlitIsReportedAndTheFrameGoesOn) {
    const struct {
        const char* box;
        const char* log;
        int x, y; // a pixel of the item in the first frame
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
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        Restart();
        scripted::FailCallAfter("Blt", 1 + i); // the clear and the items before go through
        GameFrame();
        ExpectOneReport(cases[i].box, cases[i].log);
        ASSERT_EQ(scripted::PresentCount(), 1);
        for (int j = 0; j < 8; ++j)
            EXPECT_EQ(At(cases[j].x, cases[j].y) == cases[j].colour, j != i) << "item " << j;
        EXPECT_EQ(At(165, 575), 0xCE79) << "the stem of the help line's 'E'";
    }
}

TEST_F(FrameTest, WithoutATitleSurfaceTheTitleIsLeftOutSilently) {
    titleSurface->Release();
    titleSurface = nullptr;
    const int blts = scripted::CallCount("Blt");
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(scripted::CallCount("Blt"), blts + 8); // the clear, three objects, four walls
    EXPECT_EQ(At(100, 60), 0x0000);
}

// A prompt with Enter held is drawn in the frame that dismisses it, while the score line and
// the scene already show the game as ResolvePrompt left it.
TEST_F(FrameTest, APromptIsDrawnInTheFrameThatDismissesIt) {
    const struct {
        bool* flag;
        const char* prompt;
        const char* score;
        const char* lives;
        const char* level;
    } cases[] = {
        {&youWin, "You Win!", "Score: 1200", "Lives: 0", "Level: 3"},
        {&youLose, "You Lose!", "Score: 800", "Lives: 0", "Level: 1"},
        {&gameOver, "Game Over!", "Score: 0", "Lives: 3", "Level: 1"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        Restart();
        *cases[i].flag = true;
        Score = 1200;
        Lives = 0;
        Level = 3;
        Enemy.x1 = 300;
        Enemy.x2 = 340;
        Ball.Velx = Ball.Vely = 0;
        scripted::SetKey(VK_RETURN, true);
        GameFrame();
        ASSERT_EQ(scripted::PresentCount(), 1);
        EXPECT_FALSE(*cases[i].flag);

        // The text lies on black: rows 125-140, and the prompt's cells at (368, 295).
        const scripted::Page& page = scripted::LastPresent();
        scripted::Page text = page, black = page;
        std::fill(black.pixels.begin(), black.pixels.end(), 0);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (!(y >= 125 && y < 141) && !(y >= 295 && y < 311 && x >= 368 && x < 448))
                    text.pixels[y * 800 + x] = 0;
        EXPECT_TRUE(OnlyTextChanged(black, text,
                                    {{368, 295, cases[i].prompt, 0xFFE0},
                                     {250, 125, cases[i].score, 0xFFFF},
                                     {110, 125, cases[i].lives, 0xFFFF},
                                     {180, 125, cases[i].level, 0xFFFF}}));
        EXPECT_EQ(At(381, 152), Green) << "the computer's paddle at its restart position";
        EXPECT_EQ(At(320, 152), 0x0000);
    }
}

// The overlay's seven lines at x = 1, over the left wall too: only their glyph pixels differ
// from the same frame drawn without the overlay.
TEST_F(FrameTest, TheOverlayAddsSevenLinesAndNothingElse) {
    GameFrame();
    const scripted::Page without = scripted::LastPresent();
    Restart();
    debugInfo = true;
    GameFrame();
    std::vector<TextLine> lines;
    const std::pair<const char*, int> values[] = {{"FPS: ", 1},
                                                  {"Ball.Velx: ", Ball.Velx},
                                                  {"Ball.Vely: ", Ball.Vely},
                                                  {"Ball.x1: ", Ball.x1},
                                                  {"Ball.y1: ", Ball.y1},
                                                  {"Player.x1: ", Player.x1},
                                                  {"Player.x2: ", Player.x2}};
    for (int i = 0; i < 7; ++i)
        lines.push_back(
            {1, 150 + 15 * i, values[i].first + std::to_string(values[i].second), 0xFFFF});
    EXPECT_EQ(Ball.x1, ServeX1 - 2) << "the values after this frame's step";
    EXPECT_TRUE(OnlyTextChanged(without, scripted::LastPresent(), lines));
}

} // namespace
