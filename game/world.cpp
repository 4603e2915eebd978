#include <windows.h>

#include "game/world.h"

// rect is left alone: the objects are static, so it starts zero and is first filled when the
// first frame is drawn.
Paddle::Paddle(LONG left, LONG top, LONG right, LONG bottom)
    : color(GreenPixel), x1(left), y1(top), x2(right), y2(bottom) {}

BallObject::BallObject()
    : color(GreenPixel), Velx(-2), Vely(-3), x1(ServeX1), y1(ServeY1), x2(ServeX2), y2(ServeY2) {}

// Defined together, in this order, so they are constructed Player, Enemy, Ball.
Paddle Player(380, 550, 420, 555);
Paddle Enemy(EnemyRestartX1, 150, EnemyRestartX2, 155);
BallObject Ball;

int Score = 0;
int Lives = 3;
int Level = 1;
bool youWin = false;
bool youLose = false;
bool gameOver = false;
bool debugInfo = false;

void ServeBall() {
    Ball.x1 = ServeX1;
    Ball.y1 = ServeY1;
    Ball.x2 = ServeX2;
    Ball.y2 = ServeY2;
    Ball.Velx = 0;
    Ball.Vely = 0;
}
