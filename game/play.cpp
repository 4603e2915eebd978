#include <windows.h>
#include <mmsystem.h>

#include "game/collisions.h"
#include "game/deadline.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/keys.h"

DWORD nextMoveTime = 0;
DWORD nextInputTime = 0;
DWORD nextToggleTime = 0;

namespace {

constexpr DWORD InputInterval = 1;
constexpr DWORD MoveInterval = 5;
constexpr DWORD ToggleInterval = 200;
constexpr LONG PaddleStep = 5;
constexpr LONG EnemyStep = 2;

void MovePaddle(Paddle& paddle, LONG dx) {
    paddle.x1 += dx;
    paddle.x2 += dx;
}

} // namespace

Prompt PendingPrompt() {
    if (youWin)
        return Prompt::Win;
    if (youLose)
        return Prompt::Lose;
    if (gameOver)
        return Prompt::GameOver;
    return Prompt::None;
}

// The clock is read afresh for every test and every new deadline.
void HandleInput() {
    if (DeadlineDue(nextInputTime, timeGetTime(), InputInterval)) {
        // Left wins when both are held, except at the left limit, where Right still counts.
        if (KeyHeld(VK_LEFT) && Player.x1 > PaddleLeftLimit)
            MovePaddle(Player, -PaddleStep);
        else if (KeyHeld(VK_RIGHT) && Player.x2 < PaddleRightLimit)
            MovePaddle(Player, PaddleStep);
        nextInputTime = timeGetTime() + InputInterval;
    }
    // Held, F5 switches the overlay every 200 ms.
    if (KeyHeld(VK_F5) && DeadlineDue(nextToggleTime, timeGetTime(), ToggleInterval)) {
        debugInfo = !debugInfo;
        nextToggleTime = timeGetTime() + ToggleInterval;
    }
}

void PlayStep() {
    HandleInput();

    // At most one step per frame, so with frames slower than 5 ms the ball steps once a frame.
    // The collision rules act once per step, right before it: tested between two steps as
    // well, they would turn a ball twice whenever frames come faster than every 5 ms.
    if (DeadlineDue(nextMoveTime, timeGetTime(), MoveInterval)) {
        CheckCollisions();
        Ball.x1 += Ball.Velx;
        Ball.x2 += Ball.Velx;
        Ball.y1 += Ball.Vely;
        Ball.y2 += Ball.Vely;
        nextMoveTime = timeGetTime() + MoveInterval;
    }

    // Kept on purpose: the computer's paddle moves every frame, with no timer and no limits.
    if (Ball.x1 <= Enemy.x1)
        MovePaddle(Enemy, -EnemyStep);
    else if (Ball.x2 >= Enemy.x2)
        MovePaddle(Enemy, EnemyStep);
}

// The ball already rests at the serve position and the player's paddle stays where it is.
void ResolvePrompt() {
    if (!KeyHeld(VK_RETURN))
        return;
    switch (PendingPrompt()) {
    case Prompt::None:
        return;
    case Prompt::Win:
        // Towards the player, at level 1's speed whatever the level.
        youWin = false;
        Ball.Velx = 2;
        Ball.Vely = 3;
        break;
    case Prompt::Lose:
        youLose = false;
        Score -= 400;
        if (Score < 0)
            Score = 0;
        Level = 1;
        Ball.Velx = -2;
        Ball.Vely = -3;
        break;
    case Prompt::GameOver:
        gameOver = false;
        Score = 0;
        Lives = 3;
        Level = 1;
        Ball.Velx = -2;
        Ball.Vely = -3;
        break;
    }
    Enemy.x1 = EnemyRestartX1;
    Enemy.x2 = EnemyRestartX2;
}
