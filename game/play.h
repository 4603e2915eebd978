// One frame of play, and the end-of-round prompts.
#ifndef VANTOREL_GAME_PLAY_H
#define VANTOREL_GAME_PLAY_H

#include <windows.h>

// Deadlines in milliseconds; 0 at start-up, so each first test passes at once.
extern DWORD nextMoveTime;   // the ball's next step (every 5 ms)
extern DWORD nextInputTime;  // the arrow keys' next look (every 1 ms)
extern DWORD nextToggleTime; // F5's next toggle (every 200 ms)

enum class Prompt { None, Win, Lose, GameOver };

// The pending prompt, by priority: youWin, youLose, gameOver.
Prompt PendingPrompt();

// Called by PlayStep: the arrow keys move the player's paddle, F5 switches the overlay.
void HandleInput();

// Called by GameFrame when no prompt is pending: input; once the ball's 5 ms step is due,
// collisions and the step; then the computer's paddle.
void PlayStep();

// Called by GameFrame after drawing the prompt: Enter dismisses it and restarts play.
void ResolvePrompt();

#endif
