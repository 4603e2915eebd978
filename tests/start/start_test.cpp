// The program's state before WinMain runs. Every other test resets to a copy of these values
// taken from the program itself, so this is the one place they are written down.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

bool AllZero(const DDSURFACEDESC2& desc) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&desc);
    return std::all_of(bytes, bytes + sizeof desc, [](BYTE b) { return b == 0; });
}

TEST(StartUp, TheWorldCountersTimersAndHandlesStartAsThePlayerFirstSeesThem) {
    const struct {
        const char* name;
        long long actual;
        long long expected;
    } values[] = {
        // The player's paddle: 40 wide, centred, on the rows just above the bottom exit.
        {"Player.color", Player.color, GreenPixel},
        {"Player.x1", Player.x1, 380},
        {"Player.y1", Player.y1, 550},
        {"Player.x2", Player.x2, 420},
        {"Player.y2", Player.y2, 555},
        // The computer's paddle: above the player's, just below the top exit.
        {"Enemy.color", Enemy.color, GreenPixel},
        {"Enemy.x1", Enemy.x1, 380},
        {"Enemy.y1", Enemy.y1, 150},
        {"Enemy.x2", Enemy.x2, 420},
        {"Enemy.y2", Enemy.y2, 155},
        // The ball: 5 x 5 at the serve position, off up and to the left.
        {"Ball.color", Ball.color, GreenPixel},
        {"Ball.Velx", Ball.Velx, -2},
        {"Ball.Vely", Ball.Vely, -3},
        {"Ball.x1", Ball.x1, 397},
        {"Ball.y1", Ball.y1, 350},
        {"Ball.x2", Ball.x2, 402},
        {"Ball.y2", Ball.y2, 355},
        // The counters: no points, three lives, the first level; no prompt, no overlay.
        {"Score", Score, 0},
        {"Lives", Lives, 3},
        {"Level", Level, 1},
        {"youWin", youWin, false},
        {"youLose", youLose, false},
        {"gameOver", gameOver, false},
        {"debugInfo", debugInfo, false},
        // The deadlines start at 0, due at once: the first frame reads the keys and steps.
        {"nextMoveTime", nextMoveTime, 0},
        {"nextInputTime", nextInputTime, 0},
        {"nextToggleTime", nextToggleTime, 0},
        // The frame-rate counter has counted nothing and samples in the first overlay frame.
        {"frameCount", frameCount, 0},
        {"lastFps", lastFps, 0},
        {"nextFpsTime", nextFpsTime, 0},
    };
    for (const auto& value : values)
        EXPECT_EQ(value.actual, value.expected) << value.name;

    // The blit rectangles are first filled when the first frame is drawn.
    const struct {
        const char* name;
        const RECT& rect;
    } rects[] = {
        {"Player.rect", Player.rect}, {"Enemy.rect", Enemy.rect}, {"Ball.rect", Ball.rect}};
    for (const auto& r : rects) {
        EXPECT_EQ(r.rect.left, 0) << r.name;
        EXPECT_EQ(r.rect.top, 0) << r.name;
        EXPECT_EQ(r.rect.right, 0) << r.name;
        EXPECT_EQ(r.rect.bottom, 0) << r.name;
    }

    // Nothing of the display or the window exists before WinMain makes it.
    EXPECT_EQ(directDraw, nullptr);
    EXPECT_EQ(directDraw4, nullptr);
    EXPECT_EQ(primarySurface, nullptr);
    EXPECT_EQ(backBuffer, nullptr);
    EXPECT_EQ(titleSurface, nullptr);
    EXPECT_TRUE(AllZero(primaryDesc));
    EXPECT_EQ(mainWindow, nullptr);

    // The level-up speeds come from a fixed sequence whose first value is 41.
    EXPECT_EQ(NextRandom(), 41);
}

} // namespace
