// Collision and scoring rules, and the game's own random generator.
#ifndef VANTOREL_GAME_COLLISIONS_H
#define VANTOREL_GAME_COLLISIONS_H

#include <windows.h>

// State of the random generator: 1 at start-up, never reseeded.
extern DWORD randomState;

// Called by CheckCollisions on a level up: the next value, 0 to 32767.
int NextRandom();

// Called by PlayStep right before each step of the ball: bounces, points, level ups and round
// ends.
void CheckCollisions();

#endif
