// The game's rules, each on both sides of its boundary, and ten minutes of play faster than the
// ball's step.
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
// The walls turn the ball at x1 100 and x2 700; it leaves at y2 560 and y1 145.
TEST_F(GameTest, EachRuleActsAtItsLastValueAndNotOneBeyond) {
    struct {
        const char* rule;
        LONG x1, y1, velx, vely;
        LONG wantVelx, wantVely;
        int wantScore = 0;
        int lives = 3, wantLives = 3;
        Prompt wantPrompt = Prompt::None;
    } const cases[] = {
        {"on the computer's paddle's bottom row", 400, 155, 2, -3, 2, 3},
        {"a row below the computer's paddle", 400, 156, 2, -3, 2, -3},
        {"level with the computer's paddle's left end", 375, 155, -2, -3, -2, 3},
        {"a pixel left of the computer's paddle", 374, 155, -2, -3, -2, -3},
        {"level with the computer's paddle's right end", 420, 155, 2, -3, 2, 3},
        {"a pixel right of the computer's paddle", 421, 155, 2, -3, 2, -3},
        {"at the right wall", 695, 300, 3, 3, -3, 3},
        {"a pixel short of the right wall", 694, 300, 3, 3, 3, 3},
        {"at the left wall", 100, 300, -2, 3, 2, 3},
        {"a pixel short of the left wall", 101, 300, -2, 3, -2, 3},
        {"on the player's paddle's top edge: returned", 390, 545, 2, 3, 2, -3, 100},
        {"a row above the player's paddle", 390, 544, 2, 3, 2, 3},
        {"on the top edge at its left end", 375, 545, 2, 3, 2, -3, 100},
        {"on the top row a pixel left of it", 374, 545, 2, 3, 2, 3},
        {"on the top edge at its right end", 420, 545, -2, 3, -2, -3, 100},
        {"on the top row a pixel right of it", 421, 545, -2, 3, -2, 3},
        {"a row into it at its left end: returned and turned", 375, 546, 2, 3, -2, -3, 100},
        {"a row into it a pixel left of it", 374, 546, 2, 3, 2, 3},
        {"a row into it at its right end: returned and turned", 420, 546, -2, 3, 2, -3, 100},
        {"a row into it a pixel right of it", 421, 546, -2, 3, -2, 3},
        {"down to its bottom row: returned and turned", 400, 554, 2, 3, -2, -3, 100},
        {"out at the bottom: the last life lost", 300, 555, 2, 3, 0, 0, 0, 1, 0, Prompt::Lose},
        {"out at the bottom, no life left: game over", 300, 555, 2, 3, 0, 0, 0, 0, 0,
         Prompt::GameOver},
        {"a row short of the bottom", 300, 554, 2, 3, 2, 3},
        {"past the computer's paddle: a life won", 300, 145, 2, -3, 0, 0, 0, 3, 4, Prompt::Win},
        {"a row short of the top", 300, 146, 2, -3, 2, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        // A round's end serves the ball to rest in the middle; nothing else moves.
        const bool served = c.wantPrompt != Prompt::None;
        const LONG paddleX1 = served ? 200 : 380;
        Lives = c.lives;
        Score = 700;
        Level = 2;
        PlacePlayer(paddleX1);
        Enemy.x1 = paddleX1;
        Enemy.x2 = paddleX1 + 40;
        PlaceBall(c.x1, c.y1, c.velx, c.vely);
        CheckCollisions();
        EXPECT_EQ(Ball.Velx, c.wantVelx);
        EXPECT_EQ(Ball.Vely, c.wantVely);
        EXPECT_EQ(Score, 700 + c.wantScore);
        EXPECT_EQ(Level, 2);
        EXPECT_EQ(Lives, c.wantLives);
        EXPECT_EQ(PendingPrompt(), c.wantPrompt);
        const LONG x1 = served ? 397 : c.x1;
        const LONG y1 = served ? 350 : c.y1;
        EXPECT_EQ((std::vector<LONG>{Ball.x1, Ball.y1, Ball.x2, Ball.y2, Player.x1, Enemy.x1}),
                  (std::vector<LONG>{x1, y1, x1 + 5, y1 + 5, paddleX1, paddleX1}));
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

// The player's paddle steps 5 pixels within x1 100 .. 660; the computer's follows the ball by 2
// once the ball is level with either of its ends, in every frame.
TEST_F(GameTest, ThePaddlesMoveUpToTheirLimitsAndNoFurther) {
    struct {
        const char* rule;
        LONG x1;
        bool left, right;
        LONG wantX1;
        LONG ballX1 = 397;
        LONG wantEnemyX1 = 380;
    } const cases[] = {
        {"Right: five to the right", 380, false, true, 385},
        {"both: Left wins", 380, true, true, 375},
        {"both at the left wall: Right still counts", 100, true, true, 105},
        {"Left at the left wall: stays", 100, true, false, 100},
        {"Left a step from the left wall: reaches it", 105, true, false, 100},
        {"Right at the right wall: stays", 660, false, true, 660},
        {"Right a step from the right wall: reaches it", 655, false, true, 660},
        {"the ball level with the computer's left end", 380, false, false, 380, 380, 378},
        {"the ball a pixel right of it", 380, false, false, 380, 381, 380},
        {"the ball level with its right end", 380, false, false, 380, 415, 382},
        {"the ball a pixel left of it", 380, false, false, 380, 414, 380},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        PlacePlayer(c.x1);
        PlaceBall(c.ballX1, 300, 0, 0);
        scripted::SetKey(VK_LEFT, c.left);
        scripted::SetKey(VK_RIGHT, c.right);
        PlayStep();
        EXPECT_EQ(Player.x1, c.wantX1);
        EXPECT_EQ(Player.x2, c.wantX1 + 40);
        EXPECT_EQ(Enemy.x1, c.wantEnemyX1);
        EXPECT_EQ(Enemy.x2, c.wantEnemyX1 + 40);
        EXPECT_EQ(Enemy.y1, 150);
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
    EXPECT_EQ((std::vector<LONG>{Ball.x1, Ball.y1, Ball.x2, Ball.y2}),
              (std::vector<LONG>{98, 303, 103, 308}))
        << "stepped once";
    EXPECT_EQ(Player.x1, 375) << "the keys are read once a millisecond";
    EXPECT_EQ(Enemy.x1, 376) << "the computer's paddle moved in both";
}

// Enter dismisses the prompt and restarts play its own way, the computer's paddle in the middle;
// a won round goes first when two flags are set.
TEST_F(GameTest, EnterDismissesThePromptAndRestartsPlayAsItSays) {
    const struct {
        const char* rule;
        bool* flag;
        int score, lives, level;
        int wantScore, wantLives, wantLevel;
        LONG wantVelx, wantVely;
        bool* alsoSet = nullptr;
    } cases[] = {
        {"won: towards the player at the first level's speed", &youWin, 700, 4, 3, 700, 4, 3, 2, 3},
        {"won and lost: the win first", &youWin, 700, 4, 3, 700, 4, 3, 2, 3, &youLose},
        {"lost: 400 points off, back to the first level", &youLose, 1000, 1, 2, 600, 1, 1, -2, -3},
        {"lost and over: the loss first", &youLose, 1000, 1, 2, 600, 1, 1, -2, -3, &gameOver},
        {"lost: the score stops at zero", &youLose, 350, 2, 3, 0, 2, 1, -2, -3},
        {"game over: a new game", &gameOver, 1200, 0, 2, 0, 3, 1, -2, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        *c.flag = true;
        if (c.alsoSet)
            *c.alsoSet = true;
        Score = c.score;
        Lives = c.lives;
        Level = c.level;
        PlacePlayer(200);
        Enemy.x1 = 250;
        Enemy.x2 = 290;
        ServeBall();
        ResolvePrompt();
        EXPECT_TRUE(*c.flag) << "without Enter the prompt stays";
        scripted::SetKey(VK_RETURN, true);
        ResolvePrompt();
        EXPECT_FALSE(*c.flag);
        EXPECT_EQ(c.alsoSet && *c.alsoSet, c.alsoSet != nullptr) << "one prompt a frame";
        EXPECT_EQ(Score, c.wantScore);
        EXPECT_EQ(Lives, c.wantLives);
        EXPECT_EQ(Level, c.wantLevel);
        EXPECT_EQ(Ball.Velx, c.wantVelx);
        EXPECT_EQ(Ball.Vely, c.wantVely);
        EXPECT_EQ(
            (std::vector<LONG>{Ball.x1, Ball.y1, Ball.x2, Ball.y2, Player.x1, Enemy.x1, Enemy.x2}),
            (std::vector<LONG>{397, 350, 402, 355, 200, 380, 420}));
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
