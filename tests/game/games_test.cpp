// Whole games, frame after frame: a first round worked out by hand, a million frames of random
// keys faster than the ball's step, and a player who keeps the paddle under the ball.
#include "game_helpers.h"

#include <ostream>
#include <random>
#include <vector>

namespace {

using Games = FreshProgram;

// Where the ball was in the frame its velocity changed.
struct Turn {
    LONG frame;
    LONG x1;
    LONG y1;
    bool operator==(const Turn& other) const {
        return frame == other.frame && x1 == other.x1 && y1 == other.y1;
    }
};

std::ostream& operator<<(std::ostream& out, const Turn& turn) {
    return out << "{frame " << turn.frame << " at " << turn.x1 << ", " << turn.y1 << "}";
}

// From start-up, no key held, frames 5 ms apart so that the ball steps in every one: it turns
// at the computer's paddle and at the left wall, and goes out at the bottom, nowhere else.
TEST_F(Games, TheFirstRoundWithNoKeyHeld) {
    std::vector<Turn> turns;
    for (LONG frame = 1; frame <= 200; ++frame) {
        const Turn before = {frame, Ball.x1, Ball.y1};
        const LONG velx = Ball.Velx;
        const LONG vely = Ball.Vely;
        scripted::SetClock(static_cast<DWORD>(frame - 1) * 5);
        PlayFrame();
        if (Ball.Velx != velx || Ball.Vely != vely)
            turns.push_back(before);
    }
    const std::vector<Turn> expected = {
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

// What holds after every frame of any game. The walls' inner edges are 100 and 700 and the
// ball moves at most 3 pixels a step sideways, so it is never more than one step into a wall.
::testing::AssertionResult WorldIsSound() {
    if (Player.x1 < 100 || Player.x2 > 700)
        return ::testing::AssertionFailure() << "the player's paddle is at " << Player.x1;
    if (Ball.x1 < 95 || Ball.x2 > 706)
        return ::testing::AssertionFailure() << "the ball left the field at " << Ball.x1;
    if (Enemy.x1 < 0 || Enemy.x2 > 800)
        return ::testing::AssertionFailure()
               << "the computer's paddle left the page at " << Enemy.x1;
    if (Score < 0)
        return ::testing::AssertionFailure() << "the score is " << Score;
    return ::testing::AssertionSuccess();
}

// How the rounds of a run of frames ended, counted by their prompt.
struct Outcome {
    int endings[4] = {}; // by Prompt; endings[None] counts the frames in which none ended

    int Ended(Prompt prompt) const { return endings[static_cast<int>(prompt)]; }
};

// Frames of play, each after `setUp(frame)` has set the clock and the keys. Stops at the first
// frame after which the world is unsound.
template <typename SetUp> Outcome PlayFrames(long frames, SetUp setUp) {
    Outcome outcome;
    for (long frame = 0; frame < frames; ++frame) {
        setUp(frame);
        const Prompt before = PendingPrompt();
        PlayFrame();
        const ::testing::AssertionResult sound = WorldIsSound();
        EXPECT_TRUE(sound) << "frame " << frame;
        if (!sound)
            break;
        // A round ended in this frame if no prompt was pending before and one is now.
        if (before == Prompt::None)
            ++outcome.endings[static_cast<int>(PendingPrompt())];
    }
    return outcome;
}

// A million frames with the arrows, F5 and Enter pressed and released at random, and the clock
// moved on by `gap(random)` ms before each.
template <typename Gap> Outcome PlayRandomFrames(Gap gap) {
    std::minstd_rand random(20240501); // the same sequence everywhere
    bool held[256] = {};
    DWORD clock = 1000;
    return PlayFrames(1000000, [&](long) {
        for (int key : {VK_LEFT, VK_RIGHT, VK_F5, VK_RETURN}) {
            const unsigned oneIn = key == VK_F5 ? 64 : 8;
            if (random() % oneIn == 0)
                held[key] = !held[key];
            scripted::SetKey(key, held[key]);
        }
        clock += gap(random);
        scripted::SetClock(clock);
    });
}

// Faster than the ball's 5 ms step, uneven or steady, the ball turns once per step and stays
// in the field, and the computer's paddle, which follows it, on the page.
TEST_F(Games, FramesFasterThanTheBallsStepKeepItInTheField) {
    const Outcome uneven = PlayRandomFrames([](std::minstd_rand& random) { return random() % 5; });
    EXPECT_GT(uneven.Ended(Prompt::Lose), 0) << "rounds were played to their end";
    ResetEverything();
    const Outcome steady = PlayRandomFrames([](std::minstd_rand&) { return 1; });
    EXPECT_GT(steady.Ended(Prompt::Lose), 0) << "rounds were played to their end";
}

// A player who keeps the paddle under the ball, at a fast display's frame rate (frames 4 and
// 5 ms apart) and beyond (steadily 1 ms apart), for 10 minutes: no round is lost.
TEST_F(Games, APlayerWhoFollowsTheBallLosesNoLifeAtAnyFrameRate) {
    for (long framesPerSecond : {240, 1000}) {
        SCOPED_TRACE(framesPerSecond);
        ResetEverything();
        const Outcome outcome = PlayFrames(600 * framesPerSecond, [framesPerSecond](long frame) {
            scripted::SetClock(static_cast<DWORD>(1000 + frame * 1000 / framesPerSecond));
            scripted::SetKey(VK_RETURN, PendingPrompt() != Prompt::None);
            scripted::SetKey(VK_LEFT, Ball.x1 < Player.x1 + 15);
            scripted::SetKey(VK_RIGHT, Ball.x2 > Player.x2 - 15);
        });
        EXPECT_EQ(outcome.Ended(Prompt::Lose), 0);
        EXPECT_EQ(outcome.Ended(Prompt::GameOver), 0);
        EXPECT_GT(outcome.Ended(Prompt::Win), 0) << "the rounds were played to their end";
    }
}

} // namespace
