// The game's rules, and ten minutes of play faster than the ball's step.
#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "scripted_host.h"
#include "support/test_support.h"

namespace {

using GameTest = FreshProgram;

void PlaceBall(LONG x, LONG y, LONG velx, LONG vely) {
    Ball.x1 = x;
    Ball.y1 = y;
    Ball.x2 = x + 5;
    Ball.y2 = y + 5;
    Ball.Velx = velx;
    Ball.Vely = vely;
}

void PlacePlayer(LONG x1) {
    Player.x1 = x1;
    Player.x2 = x1 + 40;
}

// Both paddles span 380 .. 420, the player's on rows 550 .. 555, the computer's on 150 .. 155.
TEST_F(GameTest, BallTurnsOffWallsAndPaddlesAndScoresOnReturns) {
    const struct {
        const char* rule;
        LONG ballX1, ballY1, velx, vely;
        LONG wantVelx, wantVely;
        int wantScore;
    } cases[] = {
        {"a return off the paddle's top edge", 390, 545, 2, 3, 2, -3, 100},
        {"sunk onto the paddle's left end: returned and turned", 375, 547, 2, 3, -2, -3, 100},
        {"sunk onto the paddle's right end: returned and turned", 420, 547, -2, 3, 2, -3, 100},
        {"at the right wall", 695, 300, 3, 3, -3, 3, 0},
        {"one pixel short of the right wall", 694, 300, 3, 3, 3, 3, 0},
        {"at the left wall", 100, 300, -2, 3, 2, 3, 0},
        {"one pixel short of the left wall", 101, 300, -2, 3, -2, 3, 0},
        {"under the computer's paddle's left end", 375, 155, -2, -3, -2, 3, 0},
        {"under the computer's paddle's right end", 420, 155, 2, -3, 2, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        PlaceBall(c.ballX1, c.ballY1, c.velx, c.vely);
        CheckCollisions();
        EXPECT_EQ(Ball.Velx, c.wantVelx);
        EXPECT_EQ(Ball.Vely, c.wantVely);
        EXPECT_EQ(Score, c.wantScore);
    }
}

// A round's end serves the ball: it waits at rest in the middle, and nothing else moves.
TEST_F(GameTest, RoundEndsAtEitherExitAndOnlyTheBallIsServed) {
    const struct {
        const char* rule;
        LONG ballY1, vely;
        int lives;
        int wantLives;
        Prompt wantPrompt;
    } cases[] = {
        {"out at the bottom: a life lost", 555, 3, 2, 1, Prompt::Lose},
        {"out at the bottom with no life left: game over", 555, 3, 0, 0, Prompt::GameOver},
        {"past the computer's paddle: a life won", 145, -3, 3, 4, Prompt::Win},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        Lives = c.lives;
        Score = 700;
        PlacePlayer(200);
        Enemy.x1 = 250;
        PlaceBall(300, c.ballY1, 2, c.vely);
        CheckCollisions();
        EXPECT_EQ(Lives, c.wantLives);
        EXPECT_EQ(PendingPrompt(), c.wantPrompt);
        EXPECT_EQ(Ball.x1, ServeX1);
        EXPECT_EQ(Ball.Vely, 0);
        EXPECT_EQ(Score, 700);
        EXPECT_EQ(Player.x1, 200);
        EXPECT_EQ(Enemy.x1, 250);
    }
}

// At Level * 500 points a level up: one pixel a step faster up, right at 1 to 3 drawn in turn.
TEST_F(GameTest, ReturnsReachingTheNextLevelSpeedTheBallUp) {
    Score = 300;
    PlaceBall(390, 545, -2, 3);
    CheckCollisions();
    EXPECT_EQ(Level, 1) << "400 points: still the first level";

    const LONG firstVelx[] = {1, 3, 2, 1, 2, 2, 2, 1, 1, 1, 3};
    for (int up = 0; up < static_cast<int>(std::size(firstVelx)); ++up) {
        SCOPED_TRACE(up);
        Score = Level * 500 - 100;
        PlaceBall(390, 545, -2, 3);
        CheckCollisions();
        EXPECT_EQ(Level, up + 2);
        EXPECT_EQ(Ball.Vely, -4);
        EXPECT_EQ(Ball.Velx, firstVelx[up]);
    }
}

TEST_F(GameTest, ArrowsMoveThePlayersPaddleFivePixelsWithinTheWalls) {
    const struct {
        const char* rule;
        LONG x1;
        bool left, right;
        LONG wantX1;
    } cases[] = {
        {"Right: five to the right", 380, false, true, 385},
        {"both: Left wins, five to the left", 380, true, true, 375},
        {"Left at the left wall: stays", 100, true, false, 100},
        {"Left one step from the left wall: reaches it", 105, true, false, 100},
        {"Right at the right wall: stays", 660, false, true, 660},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        PlacePlayer(c.x1);
        scripted::SetKey(VK_LEFT, c.left);
        scripted::SetKey(VK_RIGHT, c.right);
        HandleInput();
        EXPECT_EQ(Player.x1, c.wantX1);
    }
}

TEST_F(GameTest, F5HeldSwitchesTheOverlayEvery200Milliseconds) {
    const struct {
        const char* rule;
        DWORD clock;
        bool wantOverlay;
    } frames[] = {
        {"held from start-up: on at once", 100, true},
        {"199 ms later: not yet", 299, true},
        {"200 ms later: off", 300, false},
        {"30 days later: at once", 801 + 30u * 86400000u, true},
    };
    scripted::SetKey(VK_F5, true);
    for (const auto& f : frames) {
        scripted::SetClock(f.clock);
        HandleInput();
        EXPECT_EQ(debugInfo, f.wantOverlay) << f.rule;
    }
}

// The ball steps every 5 ms and the keys are read every millisecond through the clock's wrap.
TEST_F(GameTest, TimersKeepTheirPaceThroughTheClocksWrap) {
    scripted::SetKey(VK_RIGHT, true);
    std::vector<DWORD> steps;
    for (DWORD clock = 0xFFFFFFF8u; clock != 13; ++clock) {
        const LONG before = Ball.x1;
        scripted::SetClock(clock);
        PlayStep();
        if (Ball.x1 != before)
            steps.push_back(clock);
    }
    EXPECT_EQ(steps, (std::vector<DWORD>{0xFFFFFFF8u, 0xFFFFFFFDu, 2, 7, 12}));
    EXPECT_EQ(Player.x1, 485) << "Right held for 21 ms: a step a millisecond";
}

// The arrow's step comes before the collisions: the paddle moves under the ball and returns it.
TEST_F(GameTest, TheArrowsMoveThePaddleBeforeTheBallMeetsIt) {
    PlaceBall(422, 545, 0, 3);
    scripted::SetKey(VK_RIGHT, true);
    PlayStep();
    EXPECT_EQ(Score, 100);
    EXPECT_EQ(Ball.y1, 542) << "returned, then stepped up";
}

// A second frame in the same millisecond moves only the computer's paddle, on no timer: a ball
// still inside the wall after its step is not turned back before the next one.
TEST_F(GameTest, ASecondFrameInTheSameMillisecondMovesOnlyTheComputersPaddle) {
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
TEST_F(GameTest, TheComputersPaddleFollowsABallLevelWithItsEnd) {
    PlaceBall(380, 300, 0, 0);
    PlayStep();
    EXPECT_EQ(Enemy.x1, 378);
    PlaceBall(413, 300, 0, 0); // its right end, x2, level with the paddle's 418
    PlayStep();
    EXPECT_EQ(Enemy.x1, 380);
}

// Enter dismisses the prompt and restarts play its own way, the computer's paddle in the middle.
TEST_F(GameTest, EnterDismissesThePromptAndRestartsPlayAsItSays) {
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
        Enemy.x1 = 250;
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
        EXPECT_EQ(Enemy.x1, EnemyRestartX1);
    }
}

// Frames 1 ms apart for 10 minutes, the paddle kept under the ball: no round is lost.
TEST_F(GameTest, APlayerWhoFollowsTheBallLosesNoLifeAtAThousandFramesASecond) {
    int won = 0;
    for (DWORD clock = 1000; clock < 601000; ++clock) {
        scripted::SetClock(clock);
        scripted::SetKey(VK_RETURN, PendingPrompt() != Prompt::None);
        scripted::SetKey(VK_LEFT, Ball.x1 < Player.x1 + 15);
        scripted::SetKey(VK_RIGHT, Ball.x2 > Player.x2 - 15);
        const bool playing = PendingPrompt() == Prompt::None;
        if (playing)
            PlayStep();
        else
            ResolvePrompt();
        ASSERT_NE(PendingPrompt(), Prompt::Lose) << "at " << clock;
        if (playing && PendingPrompt() == Prompt::Win)
            ++won;
    }
    EXPECT_GT(won, 0) << "the rounds were played to their end";
}

} // namespace
