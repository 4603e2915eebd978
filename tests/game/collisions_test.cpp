// The bounce, scoring and round-end rules, and the generator behind the level-up speeds.
#include <windows.h>

#include "game/collisions.h"
#include "game_test_util.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// One CheckCollisions call. The player's paddle spans playerX1 .. +40 on rows 550 .. 555, the
// computer's 380 .. 420 on rows 150 .. 155.
struct CollisionCase {
    LONG playerX1, ballX1, ballY1, velx, vely;
    int score, level, lives;
    LONG wantVelx, wantVely;
    int wantScore, wantLevel, wantLives;
    Prompt wantPrompt;
};

const CollisionCase kCases[] = {
    {380, 300, 300, -2, 3, 0, 1, 3, -2, 3, 0, 1, 3, Prompt::None},       // free flight
    {380, 390, 545, 2, 3, 0, 1, 3, 2, -3, 100, 1, 3, Prompt::None},      // on the top edge exactly
    {380, 390, 547, 2, 3, 0, 1, 3, -2, -3, 100, 1, 3, Prompt::None},     // sunk into the paddle
    {380, 375, 547, 2, 3, 0, 1, 3, -2, -3, 100, 1, 3, Prompt::None},     // sunk, on the left end
    {380, 420, 547, -2, 3, 0, 1, 3, 2, -3, 100, 1, 3, Prompt::None},     // sunk, on the right end
    {380, 421, 547, -2, 3, 0, 1, 3, -2, 3, 0, 1, 3, Prompt::None},       // sunk, just right of it
    {380, 374, 547, 2, 3, 0, 1, 3, 2, 3, 0, 1, 3, Prompt::None},         // sunk, just left of it
    {660, 695, 547, 3, 3, 0, 1, 3, 3, -3, 100, 1, 3, Prompt::None},      // right limit and side
    {380, 695, 300, 3, 3, 0, 1, 3, -3, 3, 0, 1, 3, Prompt::None},        // right limit
    {380, 694, 300, 3, 3, 0, 1, 3, 3, 3, 0, 1, 3, Prompt::None},         // short of it
    {380, 100, 300, -2, 3, 0, 1, 3, 2, 3, 0, 1, 3, Prompt::None},        // left limit
    {380, 101, 300, -2, 3, 0, 1, 3, -2, 3, 0, 1, 3, Prompt::None},       // short of it
    {380, 375, 155, -2, -3, 0, 1, 3, -2, 3, 0, 1, 3, Prompt::None},      // computer's paddle, end
    {380, 374, 155, -2, -3, 0, 1, 3, -2, -3, 0, 1, 3, Prompt::None},     // beside it
    {380, 390, 545, -2, 3, 400, 1, 3, 1, -4, 500, 2, 3, Prompt::None},   // level up
    {380, 390, 545, 2, -3, 900, 2, 3, 1, 2, 1000, 3, 3, Prompt::None},   // level up while climbing
    {380, 390, 545, 2, 3, 800, 2, 3, 2, -3, 900, 2, 3, Prompt::None},    // one return short of it
    {200, 300, 555, 2, 3, 700, 2, 2, 0, 0, 700, 2, 1, Prompt::Lose},     // out at the bottom
    {200, 300, 555, 2, 3, 700, 2, 0, 0, 0, 700, 2, 0, Prompt::GameOver}, // ... with no life left
    {380, 390, 555, 2, 3, 0, 1, 1, 0, 0, 100, 1, 0, Prompt::Lose},       // a return, yet out
    {380, 300, 145, 2, -3, 0, 1, 3, 0, 0, 0, 1, 4, Prompt::Win},         // past the computer
    {380, 300, 146, 2, -3, 0, 1, 3, 2, -3, 0, 1, 3, Prompt::None},       // just short of it
};

TEST(Collisions, TurnsScoresAndEndsRounds) {
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const CollisionCase& c = kCases[i];
        ResetEverything();
        PlacePaddle(Player, c.playerX1);
        PlaceBall(c.ballX1, c.ballY1, c.velx, c.vely);
        Score = c.score, Level = c.level, Lives = c.lives;

        CheckCollisions();

        SCOPED_TRACE(testing::Message() << "case " << i);
        EXPECT_EQ(Ball.Velx, c.wantVelx);
        EXPECT_EQ(Ball.Vely, c.wantVely);
        EXPECT_EQ(Score, c.wantScore);
        EXPECT_EQ(Level, c.wantLevel);
        EXPECT_EQ(Lives, c.wantLives);
        EXPECT_EQ(PendingPrompt(), c.wantPrompt);
        // Nothing here moves the ball, except that a round's end serves it.
        const bool served = c.wantPrompt != Prompt::None;
        EXPECT_EQ(Ball.x1, served ? ServeX1 : c.ballX1);
        EXPECT_EQ(Ball.y2, served ? ServeY2 : c.ballY1 + 5);
    }
}

// The first draws are fixed; across many level ups the ball always leaves right at 1 to 3.
TEST(Collisions, LevelUpSpeedsComeFromTheFixedSequence) {
    ResetEverything();
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    randomState = 1;
    const LONG want[] = {1, 3, 2, 1, 2, 2, 2, 1, 1, 1, 3};
    for (int i = 0; i < 2000; ++i) {
        PlaceBall(390, 545, -2, 3);
        Score = Level * 500 - 100;
        CheckCollisions();
        ASSERT_EQ(Level, i + 2) << "level up " << i;
        ASSERT_TRUE(Ball.Velx >= 1 && Ball.Velx <= 3) << "level up " << i;
        if (i < int(std::size(want))) {
            EXPECT_EQ(Ball.Velx, want[i]) << "level up " << i;
        }
    }
}

} // namespace
