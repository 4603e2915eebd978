#include <windows.h>
#include <ddraw.h>
#include <mmsystem.h>

#include "display/frame.h"

#include "display/device.h"
#include "display/surfaces.h"
#include "display/text.h"
#include "game/deadline.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/main_window.h"

#include <cstdio>

int frameCount = 0;
int lastFps = 0;
DWORD nextFpsTime = 0;

namespace {

constexpr WORD BlackPixel = 0x0000;
constexpr WORD WallPixel = 0xA514;
constexpr DWORD FpsInterval = 1000;
// While the screen is another program's, each frame gives up the processor this long, so that
// a game nobody sees does not spin a core.
constexpr DWORD UnseenFrameWait = 10;

struct Wall {
    RECT rect;
    const char* boxText;
    const char* logText;
};

// Kept on purpose: for the walls and the title the box says "blt" and the log says "Blt".
const Wall walls[] = {
    {{98, 143, 702, 145}, "SideTop blt Failed", "SideTop Blt Failed"},
    {{700, 145, 702, 560}, "SideRight blt Failed", "SideRight Blt Failed"},
    {{98, 560, 702, 562}, "SideBottom blt Failed", "SideBottom Blt Failed"},
    {{98, 145, 100, 560}, "SideLeft blt Failed", "SideLeft Blt Failed"},
};

// The title's top-left 700 x 120 goes into a rectangle one pixel wider and taller, so the
// blit stretches it.
constexpr RECT TitleSource = {0, 0, 700, 120};
constexpr RECT TitleDest = {49, 1, 750, 122};

// Kept on purpose: the frame's reports say "Error", where the display's say "ERROR".
void Report(const char* boxText, const char* logText) {
    ShowGdiSurface();
    ReportFailure(mainWindow, boxText, "Error", MB_OK, logText);
}

// Reports a failed blit, and says whether the frame goes on. Surfaces lost during the frame
// (the screen was taken) are no failure: the frame ends unreported, and the next one restores
// them and draws everything again.
bool KeepDrawing(HRESULT result, const char* boxText, const char* logText) {
    if (result == DDERR_SURFACELOST)
        return false;
    if (FAILED(result))
        Report(boxText, logText);
    return true;
}

void ResetFx(DDBLTFX& fx) {
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof(DDBLTFX);
}

// A colour fill of one rectangle of the back buffer; a failure is reported and skipped.
bool Fill(RECT& rect, DDBLTFX& fx, const char* boxText, const char* logText) {
    return KeepDrawing(backBuffer->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx),
                       boxText, logText);
}

void PrintValue(int x, int y, const char* format, int value, COLORREF colour) {
    char line[48];
    std::snprintf(line, sizeof line, format, value);
    PrintText(x, y, line, colour);
}

const char* PromptText(Prompt prompt) {
    switch (prompt) {
    case Prompt::Win:
        return "You Win!";
    case Prompt::Lose:
        return "You Lose!";
    case Prompt::GameOver:
        return "Game Over!";
    case Prompt::None:
        break;
    }
    return nullptr;
}

} // namespace

void GameFrame() {
    if (KeyHeld(VK_ESCAPE)) {
        PostQuitMessage(0);
        return;
    }

    // While the screen can't be had the game stands still: no play step, so the ball does not
    // run on unseen and cost lives, and no box for a display that is merely away.
    if (!RestoreLostSurfaces()) {
        Sleep(UnseenFrameWait);
        return;
    }

    DDBLTFX fx;
    ResetFx(fx);
    fx.dwFillColor = BlackPixel;
    const HRESULT cleared =
        backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    if (cleared == DDERR_SURFACELOST)
        return;
    if (FAILED(cleared)) {
        Report("Clear Screen Blt Failed", "Clear Screen Blt Failed");
        return;
    }

    // The prompt is drawn before the scene and before Enter is looked at, so it shows in the
    // frame that dismisses it.
    if (const char* prompt = PromptText(PendingPrompt())) {
        PrintText(368, 295, prompt, Yellow);
        ResolvePrompt();
    } else {
        PlayStep();
    }

    if (!RenderScene())
        return;

    PrintValue(250, 125, "Score: %d", Score, White);
    PrintValue(110, 125, "Lives: %d", Lives, White);
    PrintValue(180, 125, "Level: %d", Level, White);
    PrintText(165, 570, "ESC to quit, arrow keys to move, Enter on prompt and F5 for debug info.",
              LightGrey);

    if (debugInfo) {
        PrintValue(1, 150, "FPS: %d", GetFps(), White);
        PrintValue(1, 165, "Ball.Velx: %d", Ball.Velx, White);
        PrintValue(1, 180, "Ball.Vely: %d", Ball.Vely, White);
        PrintValue(1, 195, "Ball.x1: %d", Ball.x1, White);
        PrintValue(1, 210, "Ball.y1: %d", Ball.y1, White);
        PrintValue(1, 225, "Player.x1: %d", Player.x1, White);
        PrintValue(1, 240, "Player.x2: %d", Player.x2, White);
    }

    FlipSurfaces();
}

bool RenderScene() {
    Player.UpdateRect();
    Enemy.UpdateRect();
    Ball.UpdateRect();

    DDBLTFX fx;
    ResetFx(fx);
    // Kept on purpose: both paddles are filled with the player's colour.
    fx.dwFillColor = Player.color;
    if (!Fill(Player.rect, fx, "Player Paddle Blt Failed", "Player Paddle Blt Failed") ||
        !Fill(Enemy.rect, fx, "Enemy Paddle Blt Failed", "Enemy Paddle Blt Failed"))
        return false;

    fx.dwFillColor = Ball.color;
    if (!Fill(Ball.rect, fx, "Ball Blt Failed", "Ball Blt Failed"))
        return false;

    fx.dwFillColor = WallPixel;
    for (const Wall& wall : walls) {
        RECT rect = wall.rect;
        if (!Fill(rect, fx, wall.boxText, wall.logText))
            return false;
    }

    // Without a title surface there is nothing to show: no blit, and no box in every frame.
    if (!titleSurface)
        return true;
    ResetFx(fx);
    RECT dest = TitleDest;
    RECT source = TitleSource;
    return KeepDrawing(backBuffer->Blt(&dest, titleSurface, &source, DDBLT_WAIT, &fx),
                       "Title blt Failed", "Title Blt Failed");
}

int GetFps() {
    ++frameCount;
    // A sample is due once the clock is strictly past nextFpsTime. The game's deadline rule
    // decides "reached" across the clock's wrap; level with the deadline is not yet past.
    const DWORD now = timeGetTime();
    if (now != nextFpsTime && DeadlineDue(nextFpsTime, now, FpsInterval)) {
        nextFpsTime = timeGetTime() + FpsInterval;
        lastFps = frameCount;
        frameCount = 0;
    }
    return lastFps;
}
