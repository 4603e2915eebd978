// The game world: two paddles, one ball, the counters and flags. Process-wide, set by the
// constructors before WinMain runs, and changed in place by the collision rules, the play
// step and the frame driver.
#ifndef VANTOREL_GAME_WORLD_H
#define VANTOREL_GAME_WORLD_H

#include <windows.h>

// Field geometry, in screen pixels of the 800 x 600 mode.
constexpr LONG BallLeftLimit = 100;    // the ball bounces when x1 <= this
constexpr LONG BallRightLimit = 700;   // the ball bounces when x2 >= this
constexpr LONG BottomExit = 560;       // the round is lost when the ball's y2 >= this
constexpr LONG TopExit = 145;          // the round is won when the ball's y1 <= this
constexpr LONG PaddleLeftLimit = 100;  // the player's paddle steps left while x1 > this
constexpr LONG PaddleRightLimit = 700; // the player's paddle steps right while x2 < this
constexpr LONG ServeX1 = 397, ServeY1 = 350, ServeX2 = 402, ServeY2 = 355;
constexpr LONG EnemyRestartX1 = 380, EnemyRestartX2 = 420;
constexpr WORD GreenPixel = 0x0FC0;

struct Paddle {
    WORD color;
    LONG x1, y1, x2, y2;
    RECT rect; // blit destination, refreshed only by UpdateRect

    Paddle(LONG left, LONG top, LONG right, LONG bottom);
    void UpdateRect() { rect = {x1, y1, x2, y2}; }
};

struct BallObject {
    WORD color;
    LONG Velx, Vely;
    LONG x1, y1, x2, y2;
    RECT rect; // blit destination, refreshed only by UpdateRect

    BallObject();
    void UpdateRect() { rect = {x1, y1, x2, y2}; }
};

extern Paddle Player;
extern Paddle Enemy;
extern BallObject Ball;

extern int Score;
extern int Lives;
extern int Level;
extern bool youWin;
extern bool youLose;
extern bool gameOver;
extern bool debugInfo;

// Called by CheckCollisions when a round ends: the ball rests at the serve position.
void ServeBall();

#endif
