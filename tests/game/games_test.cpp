// Whole games, frame after frame: a first round worked out by hand, a million uneven frames of
// random keys faster than the ball's step, and a player who keeps the paddle under the ball.
#include "game_helpers.h"

#include <array>
#include <random>
#include <vector>

namespace {

using Games = FreshProgram;

// From start-up, no key held, frames 5 ms apart so that the ball steps in every one: it turns
// at the computer's paddle and at the left wall, and goes out at the bottom, nowhere else.
TEST_F(Games, TheFirstRoundWithNoKeyHeld) {
    std::vector<std::array<LONG, 3>> turns; // frame, Ball.x1, Ball.y1 before the frame
    for (LONG frame = 1; frame <= 200; ++frame) {
        const std::array<LONG, 3> before = {frame, Ball.x1, Ball.y1};
        const LONG velx = Ball.Velx;
        const LONG vely = Ball.Vely;
        scripted::SetClock(static_cast<DWORD>(frame - 1) * 5);
        PlayFrame();
        if (Ball.Velx != velx || Ball.Vely != vely)
            turns.push_back(before);
    }
    const std::vector<std::array<LONG, 3>> expected = {
        {66, 267, 155},  // under the computer's paddle, which followed the ball left
        {150, 99, 407},  // at the left wall
        {200, 199, 557}, // out at the bottom: served, at rest
    };
    EXPECT_EQ(turns, expected);
    EXPECT_EQ(PendingPrompt(), Prompt::Lose);
    EXPECT_EQ(Lives, 2);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Enemy.x1, 168) << "the computer's paddle followed the ball";
}

// Frames of play, each after `setUp(frame)` has set the clock and the keys, until the world is
// unsound; how many rounds ended with each prompt. The walls' inner edges are 100 and 700 and
// the ball moves at most 3 pixels a step sideways, so it is never more than one step in.
template <typename SetUp> std::array<int, 4> PlayFrames(long frames, SetUp setUp) {
    std::array<int, 4> endings = {};
    for (long frame = 0; frame < frames; ++frame) {
        setUp(frame);
        const bool playing = PendingPrompt() == Prompt::None;
        PlayFrame();
        const bool sound = Player.x1 >= 100 && Player.x2 <= 700 && Ball.x1 >= 95 &&
                           Ball.x2 <= 706 && Enemy.x1 >= 0 && Enemy.x2 <= 800 && Score >= 0;
        EXPECT_TRUE(sound) << "frame " << frame << ": ball at " << Ball.x1 << ", paddles at "
                           << Player.x1 << " and " << Enemy.x1 << ", score " << Score;
        if (!sound)
            break;
        if (playing)
            ++endings[static_cast<int>(PendingPrompt())];
    }
    return endings;
}

// Frames 0 to 4 ms apart, with the arrows, F5 and Enter pressed and released at random: the
// ball turns once per step and stays in the field, the computer's paddle on the page.
TEST_F(Games, UnevenFramesFasterThanTheBallsStepKeepItInTheField) {
    std::minstd_rand random(20240501); // the same sequence everywhere
    bool held[256] = {};
    DWORD clock = 1000;
    const std::array<int, 4> endings = PlayFrames(1000000, [&](long) {
        for (int key : {VK_LEFT, VK_RIGHT, VK_F5, VK_RETURN}) {
            if (random() % 8 == 0)
                held[key] = !held[key];
            scripted::SetKey(key, held[key]);
        }
        clock += random() % 5;
        scripted::SetClock(clock);
    });
    EXPECT_GT(endings[static_cast<int>(Prompt::Lose)], 0) << "rounds were played to their end";
}

// A player who keeps the paddle under the ball, with frames steadily 1 ms apart, for 10
// minutes: no round is lost.
TEST_F(Games, APlayerWhoFollowsTheBallLosesNoLifeAtAThousandFramesASecond) {
    const std::array<int, 4> endings = PlayFrames(600000, [](long frame) {
        scripted::SetClock(static_cast<DWORD>(1000 + frame));
        scripted::SetKey(VK_RETURN, PendingPrompt() != Prompt::None);
        scripted::SetKey(VK_LEFT, Ball.x1 < Player.x1 + 15);
        scripted::SetKey(VK_RIGHT, Ball.x2 > Player.x2 - 15);
    });
    EXPECT_EQ(endings[static_cast<int>(Prompt::Lose)], 0);
    EXPECT_EQ(endings[static_cast<int>(Prompt::GameOver)], 0);
    EXPECT_GT(endings[static_cast<int>(Prompt::Win)], 0) << "the rounds were played to their end";
}

} // namespace
