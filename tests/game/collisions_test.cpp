// The collision rules, one CheckCollisions call at a time: bounces, returns and their points,
// level ups, and the ends of a round. CheckCollisions moves the ball only to serve it.
#include "game/collisions.h"
#include "game_helpers.h"

namespace {

using Collisions = FreshProgram;

// The player's paddle spans x1 .. x1 + 40 on rows 550 .. 555, the computer's 380 .. 420 on
// rows 150 .. 155; the walls' inner edges are 100 and 700.
TEST_F(Collisions, BallTurnsOffWallsAndPaddlesAndScoresOnReturns) {
    const struct {
        const char* rule;
        LONG playerX1;
        LONG ballX1, ballY1, velx, vely;
        LONG wantVelx, wantVely;
        int wantScore;
    } cases[] = {
        {"a return off the paddle's top edge", 380, 390, 545, 2, 3, 2, -3, 100},
        {"one row above the top edge: no return", 380, 390, 544, 2, 3, 2, 3, 0},
        {"sunk onto the paddle's left end: returned and turned", 380, 375, 547, 2, 3, -2, -3, 100},
        {"sunk onto the paddle's right end: returned and turned", 380, 420, 547, -2, 3, 2, -3, 100},
        {"sunk, one pixel right of the paddle: nothing", 380, 421, 547, -2, 3, -2, 3, 0},
        {"sunk, one pixel left of the paddle: nothing", 380, 374, 547, 2, 3, 2, 3, 0},
        {"at the right wall", 380, 695, 300, 3, 3, -3, 3, 0},
        {"one pixel short of the right wall", 380, 694, 300, 3, 3, 3, 3, 0},
        {"at the left wall", 380, 100, 300, -2, 3, 2, 3, 0},
        {"one pixel short of the left wall", 380, 101, 300, -2, 3, -2, 3, 0},
        {"under the computer's paddle's left end", 380, 375, 155, -2, -3, -2, 3, 0},
        {"under the computer's paddle's right end", 380, 420, 155, 2, -3, 2, 3, 0},
        {"beside the computer's paddle, left", 380, 374, 155, -2, -3, -2, -3, 0},
        {"beside the computer's paddle, right", 380, 421, 155, 2, -3, 2, -3, 0},
        {"one row below the computer's paddle", 380, 390, 156, -2, -3, -2, -3, 0},
        {"one row above the bottom exit", 200, 300, 554, 2, 3, 2, 3, 0},
        {"one row below the top exit", 380, 300, 146, 2, -3, 2, -3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        PlacePlayer(c.playerX1);
        PlaceBall(c.ballX1, c.ballY1, c.velx, c.vely);
        CheckCollisions();
        EXPECT_EQ(Ball.Velx, c.wantVelx);
        EXPECT_EQ(Ball.Vely, c.wantVely);
        EXPECT_EQ(Score, c.wantScore);
        EXPECT_EQ(Ball.x1, c.ballX1);
        EXPECT_EQ(Ball.y1, c.ballY1);
        EXPECT_EQ(PendingPrompt(), Prompt::None);
    }
}

// A round's end serves the ball: it waits at rest in the middle, and nothing else moves.
TEST_F(Collisions, RoundEndsAtEitherExitAndOnlyTheBallIsServed) {
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
        Enemy.x2 = 290;
        PlaceBall(300, c.ballY1, 2, c.vely);
        CheckCollisions();
        EXPECT_EQ(Lives, c.wantLives);
        EXPECT_EQ(PendingPrompt(), c.wantPrompt);
        EXPECT_EQ(Ball.x1, ServeX1);
        EXPECT_EQ(Ball.y1, ServeY1);
        EXPECT_EQ(Ball.x2, ServeX2);
        EXPECT_EQ(Ball.y2, ServeY2);
        EXPECT_EQ(Ball.Velx, 0);
        EXPECT_EQ(Ball.Vely, 0);
        EXPECT_EQ(Score, 700);
        EXPECT_EQ(Player.x1, 200);
        EXPECT_EQ(Enemy.x1, 250);
    }
}

// A return that brings Score to Level * 500 goes up a level: the ball climbs one pixel a step
// faster and leaves to the right at 1, 2 or 3, drawn from the game's fixed sequence.
TEST_F(Collisions, ReturnsReachingTheNextLevelSpeedTheBallUp) {
    Score = 300;
    PlaceBall(390, 545, -2, 3);
    CheckCollisions();
    EXPECT_EQ(Level, 1) << "400 points: still the first level";
    EXPECT_EQ(Ball.Velx, -2);
    EXPECT_EQ(Ball.Vely, -3);

    const LONG firstVelx[] = {1, 3, 2, 1, 2, 2, 2, 1, 1, 1, 3};
    for (int up = 0; up < static_cast<int>(std::size(firstVelx)); ++up) {
        SCOPED_TRACE(up);
        Score = Level * 500 - 100;
        PlaceBall(390, 545, -2, 3);
        CheckCollisions();
        EXPECT_EQ(Level, up + 2);
        EXPECT_EQ(Score, (up + 1) * 500);
        EXPECT_EQ(Ball.Vely, -4);
        EXPECT_EQ(Ball.Velx, firstVelx[up]);
    }
}

} // namespace
