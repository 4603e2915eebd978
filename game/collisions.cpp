#include <windows.h>

#include "game/collisions.h"
#include "game/world.h"

DWORD randomState = 1;

// The level-up speeds come from this exact generator, so every run sees the same sequence.
int NextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

namespace {

bool Within(LONG value, LONG low, LONG high) {
    return value >= low && value <= high;
}

} // namespace

// Each test sees the ball where the last step left it and the velocity as the tests before it
// left it. Kept on purpose: nothing records that a hit was already counted and no test looks
// at the direction of travel, so a ball still touching something after its next step turns
// again and, on the player's paddle, scores again.
void CheckCollisions() {
    // The computer's paddle: no test on how far above it the ball is.
    if (Ball.y1 <= Enemy.y2 && Ball.x2 >= Enemy.x1 && Ball.x1 <= Enemy.x2)
        Ball.Vely = -Ball.Vely;

    if (Ball.x2 >= BallRightLimit)
        Ball.Velx = -Ball.Velx;

    // A return off the top of the player's paddle.
    if (Ball.y2 >= Player.y1 && Ball.x2 >= Player.x1 && Ball.x1 <= Player.x2) {
        Ball.Vely = -Ball.Vely;
        Score += 100;
        if (Score >= Level * 500) {
            // Level up: one pixel per step faster upwards (for a ball that came down), and
            // off to the right at a random 1, 2 or 3.
            Ball.Vely -= 1;
            Level += 1;
            do {
                Ball.Velx = NextRandom() % 4;
            } while (Ball.Velx == 0);
        }
    }

    // The paddle's sides, only once the ball has sunk below its top edge: such a ball has
    // already been turned upwards above and now turns sideways as well.
    if (Ball.y2 > Player.y1 && Ball.y1 < Player.y2 &&
        (Within(Ball.x2, Player.x1, Player.x2) || Within(Ball.x1, Player.x1, Player.x2)))
        Ball.Velx = -Ball.Velx;

    if (Ball.x1 <= BallLeftLimit)
        Ball.Velx = -Ball.Velx;

    if (Ball.y2 >= BottomExit) {
        if (Lives == 0) {
            gameOver = true;
        } else {
            youLose = true;
            Lives -= 1;
        }
        ServeBall();
    } else if (Ball.y1 <= TopExit) {
        youWin = true;
        Lives += 1;
        ServeBall();
    }
}
