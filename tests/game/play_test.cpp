// A frame of play: the keys, the computer's paddle, the timers and the prompts.
#include <windows.h>

#include "game/deadline.h"
#include "game_test_util.h"
#include "scripted_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr DWORD kDay = 24u * 60u * 60u * 1000u;

TEST(HandleInput, ArrowKeysMoveThePaddleWithinItsLimits) {
    const struct {
        LONG x1;
        bool left, right;
        LONG wantX1;
    } cases[] = {{380, false, false, 380}, {380, true, false, 375}, {380, false, true, 385},
                 {380, true, true, 375},   {100, true, false, 100}, {100, true, true, 105},
                 {660, false, true, 660},  {660, true, true, 655}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        ResetEverything();
        PlacePaddle(Player, cases[i].x1);
        scripted::SetKey(VK_LEFT, cases[i].left);
        scripted::SetKey(VK_RIGHT, cases[i].right);
        HandleInput();
        HandleInput(); // the same millisecond: the keys are not looked at again
        EXPECT_EQ(Player.x1, cases[i].wantX1) << "case " << i;
        EXPECT_EQ(Player.x2, cases[i].wantX1 + 40) << "case " << i;
    }
}

// Held, F5 toggles every 200 ms; released, it does nothing; after 30 days it answers at once.
TEST(HandleInput, F5TogglesEvery200Milliseconds) {
    ResetEverything();
    const struct {
        DWORD clock;
        bool f5, want;
    } frames[] = {{1000, true, true},  {1199, true, true},   {1200, true, false},
                  {1399, true, false}, {1400, true, true},   {1650, true, false},
                  {1700, true, false}, {1900, false, false}, {1650 + 30 * kDay, true, true}};
    for (size_t i = 0; i < std::size(frames); ++i) {
        scripted::SetKey(VK_F5, frames[i].f5);
        scripted::SetClock(frames[i].clock);
        HandleInput();
        EXPECT_EQ(debugInfo, frames[i].want) << "frame " << i;
    }
}

TEST(PlayStep, ComputerPaddleFollowsTheBallWithoutLimits) {
    const struct {
        LONG ballX1, enemyX1, wantEnemyX1;
    } cases[] = {{300, 380, 378}, {380, 380, 378}, {381, 380, 380}, {414, 380, 380},
                 {415, 380, 382}, {-50, -40, -42}, {900, 800, 802}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        ResetEverything();
        PlacePaddle(Enemy, cases[i].enemyX1);
        PlaceBall(cases[i].ballX1, 300, 0, 0);
        PlayStep();
        EXPECT_EQ(Enemy.x1, cases[i].wantEnemyX1) << "case " << i;
    }
}

// Short of the ball's deadline a frame still bounces the ball and moves the computer's paddle;
// the ball, still at the limit when its step comes due, is turned back once more first.
TEST(PlayStep, BallStepsOnlyWhenDue) {
    ResetEverything();
    PlaceBall(695, 300, 2, 3);
    scripted::SetClock(10);
    nextMoveTime = 12;
    PlayStep();
    EXPECT_EQ(Ball.x1, 695);
    EXPECT_EQ(Ball.Velx, -2);
    EXPECT_EQ(Enemy.x1, 382);
    scripted::SetClock(12);
    PlayStep();
    EXPECT_EQ(Ball.x1, 697);
    EXPECT_EQ(Ball.y1, 303);
}

TEST(Deadline, DueOnceReachedEvenAcrossTheWrap) {
    const struct {
        DWORD deadline, clock, interval;
        bool due;
    } cases[] = {{0, 0, 5, true},
                 {0, 0x80000001u, 5, true},
                 {105, 104, 5, false},
                 {105, 105, 5, true},
                 {105, 106, 5, true},
                 {2, 0xFFFFFFFFu, 5, false},
                 {2, 0, 5, false},
                 {2, 2, 5, true},
                 {0xFFFFFFFFu, 4, 5, true},
                 {1200, 1000, 200, false},
                 {1200, 1200 + 30 * kDay, 200, true}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(DeadlineDue(c.deadline, c.clock, c.interval), c.due) << "case " << i;
    }
}

// Started with the clock far past 2^31, everything acts on the first frame; then, one frame a
// millisecond through the wrap, the ball steps every 5 ms: 3 ms before the wrap, 5 ms later after.
TEST(Deadline, LongUptimeAndTheWrap) {
    ResetEverything();
    scripted::SetKey(VK_RIGHT, true);
    scripted::SetKey(VK_F5, true);
    scripted::SetClock(0xF0000000u);
    PlayStep();
    EXPECT_EQ(Ball.x1, ServeX1 - 2);
    EXPECT_EQ(Player.x1, 385);
    EXPECT_TRUE(debugInfo);

    std::vector<DWORD> steps;
    for (DWORD t = 0xFFFFFFF8u; t != 13; ++t) {
        scripted::SetClock(t);
        const DWORD before = nextMoveTime;
        PlayStep();
        if (nextMoveTime != before)
            steps.push_back(t);
    }
    EXPECT_EQ(steps, (std::vector<DWORD>{0xFFFFFFF8u, 0xFFFFFFFDu, 2, 7, 12}));
}

const struct PromptCase {
    Prompt pending;
    int score, lives, level;
    int wantScore, wantLives, wantLevel;
    LONG wantVelx, wantVely;
} kPromptCases[] = {{Prompt::Win, 700, 4, 3, 700, 4, 3, 2, 3},
                    {Prompt::Lose, 350, 2, 3, 0, 2, 1, -2, -3},
                    {Prompt::Lose, 1000, 1, 2, 600, 1, 1, -2, -3},
                    {Prompt::GameOver, 1200, 0, 2, 0, 3, 1, -2, -3}};

TEST(ResolvePrompt, EnterRestartsPlayAsEachPromptRequires) {
    for (size_t i = 0; i < std::size(kPromptCases); ++i) {
        for (bool enter : {false, true}) {
            const PromptCase& c = kPromptCases[i];
            ResetEverything();
            youWin = c.pending == Prompt::Win;
            youLose = c.pending == Prompt::Lose;
            gameOver = c.pending == Prompt::GameOver;
            Score = c.score, Lives = c.lives, Level = c.level;
            ServeBall();
            PlacePaddle(Player, 200);
            PlacePaddle(Enemy, 250);
            scripted::SetKey(VK_RETURN, enter);

            ResolvePrompt();

            SCOPED_TRACE(testing::Message() << "case " << i << (enter ? ", Enter" : ""));
            EXPECT_EQ(PendingPrompt(), enter ? Prompt::None : c.pending);
            EXPECT_EQ(Score, enter ? c.wantScore : c.score);
            EXPECT_EQ(Lives, enter ? c.wantLives : c.lives);
            EXPECT_EQ(Level, enter ? c.wantLevel : c.level);
            EXPECT_EQ(Ball.Velx, enter ? c.wantVelx : 0);
            EXPECT_EQ(Ball.Vely, enter ? c.wantVely : 0);
            EXPECT_EQ(Enemy.x2, enter ? 420 : 290);
            EXPECT_EQ(Ball.x1, ServeX1);
            EXPECT_EQ(Player.x1, 200);
        }
    }
}

// Flags never pile up in play; if they did, each Enter frame would clear one, by priority.
TEST(ResolvePrompt, OnePromptPerFrameByPriority) {
    ResetEverything();
    youWin = youLose = gameOver = true;
    scripted::SetKey(VK_RETURN, true);
    for (Prompt want : {Prompt::Win, Prompt::Lose, Prompt::GameOver, Prompt::None}) {
        EXPECT_EQ(PendingPrompt(), want);
        ResolvePrompt();
    }
}

// With Enter held as the ball goes out, the prompt goes in the very next frame.
TEST(ResolvePrompt, EnterHeldWhileTheRoundEnds) {
    ResetEverything();
    scripted::SetKey(VK_RETURN, true);
    PlaceBall(200, 556, 2, 3);
    LogicFrame();
    ASSERT_EQ(PendingPrompt(), Prompt::Lose);
    EXPECT_EQ(Ball.y1, ServeY1);
    LogicFrame();
    EXPECT_EQ(PendingPrompt(), Prompt::None);
    EXPECT_EQ(Lives, 2);
}

} // namespace
