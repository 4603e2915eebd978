// The game rules: bounces and scoring, the keys, the timers, the prompts, and whole games.
#include <windows.h>

#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "scripted_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

static void PlaceBall(LONG x, LONG y, LONG vx, LONG vy) {
    Ball.x1 = x, Ball.y1 = y, Ball.x2 = x + 5, Ball.y2 = y + 5, Ball.Velx = vx, Ball.Vely = vy;
}

// One CheckCollisions call, which moves the ball only to serve it. The player's paddle spans
// x1 .. x1 + 40 on rows 550 .. 555, the computer's 380 .. 420 on rows 150 .. 155.
TEST(Collisions, TurnsScoresAndEndsRounds) {
    const struct {
        int playerX1, ballX1, ballY1, velx, vely, lives, wantVelx, wantVely, wantScore, wantLives;
        Prompt wantPrompt;
    } cases[] = {
        {380, 390, 545, 2, 3, 3, 2, -3, 100, 3, Prompt::None},  // on the top edge
        {380, 375, 547, 2, 3, 3, -2, -3, 100, 3, Prompt::None}, // sunk, on the left end
        {380, 420, 547, -2, 3, 3, 2, -3, 100, 3, Prompt::None}, // sunk, on the right end
        {380, 421, 547, -2, 3, 3, -2, 3, 0, 3, Prompt::None},   // sunk, just right of it
        {380, 374, 547, 2, 3, 3, 2, 3, 0, 3, Prompt::None},     // sunk, just left of it
        {660, 695, 547, 3, 3, 3, 3, -3, 100, 3, Prompt::None},  // right limit and side
        {380, 695, 300, 3, 3, 3, -3, 3, 0, 3, Prompt::None},    // right limit
        {380, 100, 300, -2, 3, 3, 2, 3, 0, 3, Prompt::None},    // left limit
        {380, 375, 155, -2, -3, 3, -2, 3, 0, 3, Prompt::None},  // computer's paddle, end
        {380, 374, 155, -2, -3, 3, -2, -3, 0, 3, Prompt::None}, // beside it
        {200, 300, 555, 2, 3, 2, 0, 0, 0, 1, Prompt::Lose},     // out at the bottom
        {200, 300, 555, 2, 3, 0, 0, 0, 0, 0, Prompt::GameOver}, // ... with no life left
        {380, 300, 145, 2, -3, 3, 0, 0, 0, 4, Prompt::Win},     // past the computer
    };
    for (const auto& c : cases) {
        ResetEverything();
        Player.x1 = c.playerX1, Player.x2 = c.playerX1 + 40, Lives = c.lives;
        PlaceBall(c.ballX1, c.ballY1, c.velx, c.vely);
        CheckCollisions();
        const bool served = c.wantPrompt != Prompt::None;
        EXPECT_EQ(
            std::make_tuple(Ball.Velx, Ball.Vely, Score, Lives, PendingPrompt(), Ball.x1, Ball.y1),
            std::make_tuple(c.wantVelx, c.wantVely, c.wantScore, c.wantLives, c.wantPrompt,
                            served ? ServeX1 : c.ballX1, served ? ServeY1 : c.ballY1))
            << "case " << &c - cases;
    }
    // A return that brings Score to Level * 500 levels up: the ball climbs one faster and
    // leaves right at 1 to 3, drawn from the fixed sequence that starts at 41.
    ResetEverything();
    EXPECT_EQ(NextRandom(), 41);
    randomState = 1;
    const LONG want[] = {1, 3, 2, 1, 2, 2, 2, 1, 1, 1, 3};
    for (int i = 0; i < 2000; ++i) {
        Score = Level * 500 - 200;
        for (int up : {0, 1}) { // one return short of the next level, then the level up
            PlaceBall(390, 545, -2, 3);
            CheckCollisions();
            ASSERT_EQ(std::make_tuple(Level, Score, Ball.Vely),
                      std::make_tuple(i + 1 + up, i * 500 + 400 + 100 * up, LONG{-3 - up}))
                << "level up " << i;
        }
        ASSERT_TRUE(i < 11 ? Ball.Velx == want[i] : Ball.Velx >= 1 && Ball.Velx <= 3)
            << "level up " << i << ": Velx " << Ball.Velx;
    }
}

// Both arrows held: Left wins, except at the left limit; the keys are read once a millisecond.
TEST(PlayStep, KeysAndTimers) {
    for (auto [x1, wantX1] : {std::pair<LONG, LONG>{380, 375}, {100, 105}}) {
        ResetEverything();
        Player.x1 = x1, Player.x2 = x1 + 40;
        scripted::SetKey(VK_LEFT, true), scripted::SetKey(VK_RIGHT, true);
        HandleInput();
        HandleInput(); // the same millisecond
        EXPECT_EQ(std::make_pair(Player.x1, Player.x2), std::make_pair(wantX1, wantX1 + 40)) << x1;
    }
    // Held, F5 toggles every 200 ms; released, it does nothing; after 30 days it answers at once.
    const DWORD clocks[] = {1000, 1199, 1200, 1400, 1650, 1900, 1650 + 30u * 86400000u};
    const int held[] = {1, 1, 1, 1, 1, 0, 1}, want[] = {1, 1, 0, 1, 0, 0, 1};
    for (size_t i = 0; i < std::size(clocks); ++i) {
        scripted::SetKey(VK_F5, held[i]);
        scripted::SetClock(clocks[i]);
        HandleInput();
        EXPECT_EQ(debugInfo, bool(want[i])) << "frame " << i;
    }
    // Started with the clock past 2^31, everything acts at once; then, a frame a millisecond
    // through the wrap, the ball steps every 5 ms and the computer's paddle tracks it every frame.
    ResetEverything();
    scripted::SetKey(VK_RIGHT, true), scripted::SetKey(VK_F5, true);
    scripted::SetClock(0xF0000000u);
    Enemy.x1 = ServeX1, Enemy.x2 = ServeX1 + 40, Player.x1 = 600, Player.x2 = 640;
    PlayStep();
    EXPECT_EQ(std::make_tuple(Ball.x1, Player.x1, debugInfo, Enemy.x1),
              std::make_tuple(ServeX1 - 2, LONG{605}, true, ServeX1 - 2));
    std::vector<DWORD> steps;
    for (DWORD t = 0xFFFFFFF8u; t != 13; ++t) {
        const LONG before = Ball.x1;
        scripted::SetClock(t);
        PlayStep();
        if (Ball.x1 != before)
            steps.push_back(t);
    }
    EXPECT_EQ(std::make_tuple(steps, Enemy.x1 - Ball.x1, Player.x1), // Right held to the limit
              std::make_tuple(std::vector<DWORD>{0xFFFFFFF8u, 0xFFFFFFFDu, 2, 7, 12}, -2, 660));
}

// Without Enter nothing changes; with it each prompt restarts play its own way, one a frame.
TEST(ResolvePrompt, EnterRestartsPlayOnePromptAFrame) {
    const struct {
        Prompt pending;
        int score, lives, level, wantScore, wantLives, wantLevel, wantVelx, wantVely;
    } cases[] = {{Prompt::Win, 700, 4, 3, 700, 4, 3, 2, 3},
                 {Prompt::Lose, 350, 2, 3, 0, 2, 1, -2, -3},
                 {Prompt::Lose, 1000, 1, 2, 600, 1, 1, -2, -3},
                 {Prompt::GameOver, 1200, 0, 2, 0, 3, 1, -2, -3}};
    for (const auto& c : cases) {
        ResetEverything();
        (c.pending == Prompt::Win ? youWin : c.pending == Prompt::Lose ? youLose : gameOver) = true;
        Score = c.score, Lives = c.lives, Level = c.level, Player.x1 = 200, Enemy.x1 = 250;
        ServeBall();
        scripted::SetKey(VK_RETURN, true);
        ResolvePrompt();
        EXPECT_EQ(std::make_tuple(PendingPrompt(), Score, Lives, Level, Ball.Velx, Ball.Vely,
                                  Enemy.x1, Ball.x1, Player.x1),
                  std::make_tuple(Prompt::None, c.wantScore, c.wantLives, c.wantLevel, c.wantVelx,
                                  c.wantVely, LONG{380}, ServeX1, LONG{200}))
            << "case " << &c - cases;
    }
    // Flags never pile up in play; if they did, each Enter frame would clear one, by priority.
    youWin = youLose = gameOver = true;
    scripted::SetKey(VK_RETURN, false);
    for (Prompt want : {Prompt::Win, Prompt::Win, Prompt::Lose, Prompt::GameOver, Prompt::None}) {
        EXPECT_EQ(PendingPrompt(), want);
        ResolvePrompt();
        scripted::SetKey(VK_RETURN, true); // the first frame, without Enter, changed nothing
    }
}

// From start-up, no key held, frames 5 ms apart so the ball steps in every one: it turns at
// the computer's paddle, at the left limit, and goes out at the bottom, and nowhere else.
TEST(Play, FirstRoundThenAMillionRandomFrames) {
    ResetEverything();
    std::vector<LONG> turns; // at each turn: the frame, and where the ball was
    for (LONG frame = 1; frame <= 200; ++frame) {
        const LONG velx = Ball.Velx, vely = Ball.Vely, x1 = Ball.x1, y1 = Ball.y1;
        scripted::SetClock(DWORD(frame - 1) * 5);
        PendingPrompt() != Prompt::None ? ResolvePrompt() : PlayStep();
        if (Ball.Velx != velx || Ball.Vely != vely)
            turns.insert(turns.end(), {frame, x1, y1});
    }
    EXPECT_EQ(turns, (std::vector<LONG>{66, 267, 155, 150, 99, 407, 200, 199, 557}));
    EXPECT_EQ(std::make_tuple(PendingPrompt(), Lives, Score, Enemy.x1),
              std::make_tuple(Prompt::Lose, 2, 0, 168)); // the computer's paddle followed

    // Then a million frames with random keys and frame times of 0 to 20 ms: the world stays
    // sound, and every way a round ends, and level ups, are played.
    std::minstd_rand next(20240501);                    // the same sequence everywhere
    bool keys[256] = {}, ends[4] = {}, levelUp = false; // ends[prompt]: a round ended that way
    for (DWORD frame = 0, clock = 1000; frame < 1000000; ++frame) {
        const Prompt pending = PendingPrompt();
        for (int vk : {VK_LEFT, VK_RIGHT, VK_F5, VK_RETURN})
            scripted::SetKey(vk, keys[vk] ^= next() % (vk == VK_F5 ? 64 : 8) == 0);
        scripted::SetClock(clock += next() % 21);
        pending != Prompt::None ? ResolvePrompt() : PlayStep();
        ASSERT_TRUE(Player.x2 - Player.x1 == 40 && Enemy.x2 - Enemy.x1 == 40 &&
                    Ball.x2 - Ball.x1 == 5 && Ball.y2 - Ball.y1 == 5 && Player.x1 >= 100 &&
                    Player.x1 <= 660 && youWin + youLose + gameOver <= 1 && Score >= 0)
            << "frame " << frame;
        ends[int(PendingPrompt())] |= pending == Prompt::None;
        levelUp |= Level > 1;
    }
    EXPECT_TRUE(ends[1] && ends[2] && ends[3] && levelUp);
}
