// What the game tests share: the world, the play step and the scripted host's keys and clock;
// placing the ball, and one frame of play without the drawing.
#ifndef VANTOREL_TESTS_GAME_HELPERS_H
#define VANTOREL_TESTS_GAME_HELPERS_H

#include <windows.h>

#include "game/play.h"
#include "game/world.h"
#include "scripted_host.h"
#include "support/test_support.h"

// The ball, 5 x 5, with its top-left corner at (x, y).
inline void PlaceBall(LONG x, LONG y, LONG velx, LONG vely) {
    Ball.x1 = x;
    Ball.y1 = y;
    Ball.x2 = x + 5;
    Ball.y2 = y + 5;
    Ball.Velx = velx;
    Ball.Vely = vely;
}

// The player's paddle, 40 wide, with its left end at x1.
inline void PlacePlayer(LONG x1) {
    Player.x1 = x1;
    Player.x2 = x1 + 40;
}

// The logic of one frame as GameFrame runs it: a pending prompt waits for Enter, else play.
inline void PlayFrame() {
    if (PendingPrompt() != Prompt::None)
        ResolvePrompt();
    else
        PlayStep();
}

#endif
