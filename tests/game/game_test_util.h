// Helpers for the game logic's tests.
#ifndef VANTOREL_TESTS_GAME_TEST_UTIL_H
#define VANTOREL_TESTS_GAME_TEST_UTIL_H

#include <windows.h>

#include "game/play.h"
#include "game/world.h"

// The logic part of one frame, as the frame driver runs it.
inline void LogicFrame() {
    if (PendingPrompt() != Prompt::None)
        ResolvePrompt();
    else
        PlayStep();
}

// Puts the ball's top-left corner at (x1, y1), 5 x 5, with the given velocity.
inline void PlaceBall(LONG x1, LONG y1, LONG velx, LONG vely) {
    Ball.x1 = x1, Ball.y1 = y1, Ball.x2 = x1 + 5, Ball.y2 = y1 + 5;
    Ball.Velx = velx, Ball.Vely = vely;
}

inline void PlacePaddle(Paddle& paddle, LONG x1) {
    paddle.x1 = x1, paddle.x2 = x1 + 40;
}

#endif
