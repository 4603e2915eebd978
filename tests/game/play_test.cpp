// One play frame's parts: the arrow keys and F5 on their timers, the ball's step and the
// collision rules in their place, the computer's paddle, the prompts that end a round, and
// ten minutes of play faster than the ball's step.
#include "game_helpers.h"

#include <vector>

namespace {

using PlayStepTest = FreshProgram;
using PromptTest = FreshProgram;

TEST_F(PlayStepTest, ArrowsMoveThePlayersPaddleFivePixelsWithinTheWalls) {
    const struct {
        const char* rule;
        LONG x1;
        bool left, right;
        LONG wantX1;
    } cases[] = {
        {"no key: the paddle stays", 380, false, false, 380},
        {"Right: five to the right", 380, false, true, 385},
        {"both: Left wins, five to the left", 380, true, true, 375},
        {"Left at the left wall: stays", 100, true, false, 100},
        {"Left one step from the left wall: reaches it", 105, true, false, 100},
        {"both at the left wall: Right counts", 100, true, true, 105},
        {"Right at the right wall: stays", 660, false, true, 660},
        {"Right one step from the right wall: reaches it", 655, false, true, 660},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        PlacePlayer(c.x1);
        scripted::SetKey(VK_LEFT, c.left);
        scripted::SetKey(VK_RIGHT, c.right);
        HandleInput();
        EXPECT_EQ(Player.x1, c.wantX1);
        EXPECT_EQ(Player.x2, c.wantX1 + 40);
    }
}

TEST_F(PlayStepTest, F5HeldSwitchesTheOverlayEvery200Milliseconds) {
    const struct {
        const char* rule;
        DWORD clock;
        bool held;
        bool wantOverlay;
    } frames[] = {
        {"held from start-up: on at once", 100, true, true},
        {"199 ms later: not yet", 299, true, true},
        {"200 ms later: off", 300, true, false},
        {"released: left as it is", 800, false, false},
        {"pressed again long after: at once", 801, true, true},
        {"pressed again 30 days later: at once", 801 + 30u * 86400000u, true, false},
    };
    for (const auto& f : frames) {
        scripted::SetKey(VK_F5, f.held);
        scripted::SetClock(f.clock);
        HandleInput();
        EXPECT_EQ(debugInfo, f.wantOverlay) << f.rule;
    }
}

// The deadlines start at 0, so a game started with the clock anywhere acts in its first frame;
// then the ball steps every 5 ms and the keys are read every millisecond straight through the
// clock's wrap.
TEST_F(PlayStepTest, TimersActAtOnceAtStartAndKeepTheirPaceThroughTheClocksWrap) {
    scripted::SetKey(VK_RIGHT, true);
    scripted::SetKey(VK_F5, true);
    scripted::SetClock(0xF0000000u);
    PlacePlayer(200);
    PlayStep();
    EXPECT_EQ(Ball.x1, ServeX1 - 2) << "the ball stepped";
    EXPECT_EQ(Player.x1, 205) << "the paddle moved";
    EXPECT_TRUE(debugInfo) << "the overlay came on";

    std::vector<DWORD> steps;
    for (DWORD clock = 0xFFFFFFF8u; clock != 13; ++clock) {
        const LONG before = Ball.x1;
        scripted::SetClock(clock);
        PlayStep();
        if (Ball.x1 != before)
            steps.push_back(clock);
    }
    EXPECT_EQ(steps, (std::vector<DWORD>{0xFFFFFFF8u, 0xFFFFFFFDu, 2, 7, 12}));
    EXPECT_EQ(Player.x1, 310) << "Right held for 21 ms: a step a millisecond";
}

// In the frame the ball reaches the paddle's row, the arrow's step comes first: the paddle
// moves under the ball and returns it.
TEST_F(PlayStepTest, TheArrowsMoveThePaddleBeforeTheBallMeetsIt) {
    PlacePlayer(380);
    PlaceBall(422, 545, 0, 3);
    scripted::SetKey(VK_RIGHT, true);
    PlayStep();
    EXPECT_EQ(Score, 100);
    EXPECT_EQ(Ball.y1, 542) << "returned, then stepped up";
}

// A second frame in the same millisecond leaves the ball and the player's paddle alone: a ball
// still inside the wall after its step is not turned back before the next one. The computer's
// paddle, on no timer, moves in every frame all the same.
TEST_F(PlayStepTest, ASecondFrameInTheSameMillisecondMovesOnlyTheComputersPaddle) {
    PlaceBall(96, 300, -2, 3);
    scripted::SetKey(VK_LEFT, true);
    PlayStep();
    PlayStep();
    EXPECT_EQ(Ball.Velx, 2) << "turned at the wall once";
    EXPECT_EQ(Ball.x1, 98) << "stepped once";
    EXPECT_EQ(Player.x1, 375) << "the keys are read once a millisecond";
    EXPECT_EQ(Enemy.x1, 376) << "the computer's paddle moved in both";
}

// The computer's paddle follows a ball level with either of its ends.
TEST_F(PlayStepTest, TheComputersPaddleFollowsABallLevelWithItsEnd) {
    PlaceBall(380, 300, 0, 0);
    PlayStep();
    EXPECT_EQ(Enemy.x1, 378);
    PlaceBall(413, 300, 0, 0); // its right end, x2, level with the paddle's 418
    PlayStep();
    EXPECT_EQ(Enemy.x1, 380);
}

// The prompt waits for Enter, which dismisses it and restarts play its own way; the ball waits
// at the serve position, the player's paddle stays, the computer's goes back to the middle.
TEST_F(PromptTest, EnterDismissesThePromptAndRestartsPlayAsItSays) {
    const struct {
        const char* rule;
        bool* flag;
        int score, lives, level;
        int wantScore, wantLives, wantLevel;
        LONG wantVelx, wantVely;
    } cases[] = {
        {"won: towards the player at the first level's speed", &youWin, 700, 4, 3, 700, 4, 3, 2, 3},
        {"lost: 400 points off, back to the first level", &youLose, 1000, 1, 2, 600, 1, 1, -2, -3},
        {"lost: the score stops at zero", &youLose, 350, 2, 3, 0, 2, 1, -2, -3},
        {"game over: a new game", &gameOver, 1200, 0, 2, 0, 3, 1, -2, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        *c.flag = true;
        Score = c.score;
        Lives = c.lives;
        Level = c.level;
        PlacePlayer(200);
        Enemy.x1 = 250;
        Enemy.x2 = 290;
        ServeBall();
        ResolvePrompt();
        EXPECT_NE(PendingPrompt(), Prompt::None) << "without Enter the prompt stays";
        scripted::SetKey(VK_RETURN, true);
        ResolvePrompt();
        EXPECT_EQ(PendingPrompt(), Prompt::None);
        EXPECT_EQ(Score, c.wantScore);
        EXPECT_EQ(Lives, c.wantLives);
        EXPECT_EQ(Level, c.wantLevel);
        EXPECT_EQ(Ball.Velx, c.wantVelx);
        EXPECT_EQ(Ball.Vely, c.wantVely);
        EXPECT_EQ(Ball.x1, ServeX1);
        EXPECT_EQ(Player.x1, 200);
        EXPECT_EQ(Enemy.x1, EnemyRestartX1);
        EXPECT_EQ(Enemy.x2, EnemyRestartX2);
    }
}

// A player who keeps the paddle under the ball, with frames steadily 1 ms apart (faster than
// the ball's 5 ms step) for 10 minutes: the ball stays in the field and no round is lost. The
// walls' inner edges are 100 and 700, and the ball moves at most 3 pixels a step sideways.
TEST_F(PlayStepTest, APlayerWhoFollowsTheBallLosesNoLifeAtAThousandFramesASecond) {
    int won = 0;
    for (DWORD clock = 1000; clock < 601000; ++clock) {
        scripted::SetClock(clock);
        scripted::SetKey(VK_RETURN, PendingPrompt() != Prompt::None);
        scripted::SetKey(VK_LEFT, Ball.x1 < Player.x1 + 15);
        scripted::SetKey(VK_RIGHT, Ball.x2 > Player.x2 - 15);
        const bool playing = PendingPrompt() == Prompt::None;
        PlayFrame();
        ASSERT_GE(Ball.x1, 95) << "at " << clock;
        ASSERT_LE(Ball.x2, 706) << "at " << clock;
        ASSERT_NE(PendingPrompt(), Prompt::Lose) << "at " << clock;
        ASSERT_NE(PendingPrompt(), Prompt::GameOver) << "at " << clock;
        if (playing && PendingPrompt() == Prompt::Win)
            ++won;
    }
    EXPECT_GT(won, 0) << "the rounds were played to their end";
}

} // namespace
