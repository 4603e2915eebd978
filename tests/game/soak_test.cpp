// Whole stretches of play: the first round from start-up, and a long random game.
#include <windows.h>

#include "game_test_util.h"
#include "scripted_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// No key held, frames 5 ms apart so the ball steps in every one; runs frames up to `last`.
void RunFramesUpTo(int& frame, int last) {
    for (; frame < last; ++frame) {
        scripted::SetClock(static_cast<DWORD>(frame) * 5);
        LogicFrame();
    }
}

TEST(Play, FirstRoundFromStartUp) {
    ResetEverything();
    int frame = 0;
    RunFramesUpTo(frame, 65);
    EXPECT_EQ(Ball.x1, 267);
    EXPECT_EQ(Ball.y1, 155);
    RunFramesUpTo(frame, 66); // turned down at the computer's paddle
    EXPECT_EQ(Ball.Vely, 3);
    RunFramesUpTo(frame, 149);
    EXPECT_EQ(Ball.x1, 99);
    RunFramesUpTo(frame, 150); // turned at the left limit
    EXPECT_EQ(Ball.Velx, 2);
    RunFramesUpTo(frame, 199);
    EXPECT_EQ(Ball.y2, 562);
    EXPECT_EQ(PendingPrompt(), Prompt::None);
    RunFramesUpTo(frame, 200); // out at the bottom
    EXPECT_EQ(PendingPrompt(), Prompt::Lose);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Score, 0);
}

// What is wrong with the world after a frame, or nullptr.
const char* BrokenInvariant() {
    if (Player.x2 - Player.x1 != 40 || Player.y2 - Player.y1 != 5 || Enemy.x2 - Enemy.x1 != 40 ||
        Enemy.y2 - Enemy.y1 != 5)
        return "a paddle is not 40 x 5";
    if (Ball.x2 - Ball.x1 != 5 || Ball.y2 - Ball.y1 != 5)
        return "the ball is not 5 x 5";
    if (Player.x1 < 100 || Player.x1 > 660)
        return "the player's paddle left 100 ... 660";
    if (int(youWin) + int(youLose) + int(gameOver) > 1)
        return "more than one prompt";
    if (Score < 0)
        return "negative score";
    if (PendingPrompt() != Prompt::None && (Ball.y1 != ServeY1 || Ball.Vely != 0))
        return "the ball moves during a prompt";
    return nullptr;
}

// A million frames with random keys and frame times of 0 to 20 ms; Enter comes a few frames
// after a prompt does, and is now and then held on into play.
TEST(Play, RandomGameKeepsTheWorldSound) {
    ResetEverything();
    uint32_t random = 0x2545F491u; // the test's own xorshift, fixed seed
    auto next = [&random] {
        random ^= random << 13, random ^= random >> 17, random ^= random << 5;
        return random;
    };
    bool keys[4] = {};
    const int vks[4] = {VK_LEFT, VK_RIGHT, VK_F5, VK_RETURN};
    DWORD clock = 0;
    int ends[4] = {}, topLevel = 1;
    for (int frame = 0; frame < 1000000; ++frame) {
        const Prompt pending = PendingPrompt();
        for (int k = 0; k < 3; ++k)
            keys[k] ^= next() % (k == 2 ? 64 : 8) == 0;
        keys[3] =
            pending != Prompt::None ? keys[3] || next() % 4 == 0 : keys[3] && next() % 16 != 0;
        for (int k = 0; k < 4; ++k)
            scripted::SetKey(vks[k], keys[k]);
        scripted::SetClock(clock += next() % 21);

        LogicFrame();

        if (const char* broken = BrokenInvariant())
            FAIL() << "frame " << frame << ": " << broken;
        if (pending == Prompt::None)
            ++ends[int(PendingPrompt())];
        topLevel = Level > topLevel ? Level : topLevel;
    }
    // Every way a round ends, and level ups, have to have been played.
    EXPECT_GT(ends[int(Prompt::Win)], 0);
    EXPECT_GT(ends[int(Prompt::Lose)], 0);
    EXPECT_GT(ends[int(Prompt::GameOver)], 0);
    EXPECT_GT(topLevel, 1);
}

} // namespace
