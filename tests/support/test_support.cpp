#include "support/test_support.h"

#include "display/device.h"
#include "display/frame.h"
#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/main_window.h"
#include "scripted_host.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <unistd.h>

void ResetGame() {
    std::memset(static_cast<void*>(&Player), 0, sizeof Player);
    std::memset(static_cast<void*>(&Enemy), 0, sizeof Enemy);
    std::memset(static_cast<void*>(&Ball), 0, sizeof Ball);
    new (&Player) Paddle(380, 550, 420, 555);
    new (&Enemy) Paddle(380, 150, 420, 155);
    new (&Ball) BallObject();
    Score = 0;
    Lives = 3;
    Level = 1;
    youWin = youLose = gameOver = debugInfo = false;
    nextMoveTime = nextInputTime = nextToggleTime = 0;
    randomState = 1;
    frameCount = lastFps = 0;
    nextFpsTime = 0;
}

void ResetDisplayHandles() {
    directDraw = nullptr;
    directDraw4 = nullptr;
    primarySurface = nullptr;
    backBuffer = nullptr;
    titleSurface = nullptr;
    std::memset(&primaryDesc, 0, sizeof primaryDesc);
    mainWindow = nullptr;
}

void ResetEverything() {
    scripted::Install();
    ResetGame();
    ResetDisplayHandles();
}

TempDir::TempDir() {
    char pattern[] = "/tmp/vantorel-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made)
        std::abort();
    path_ = made;
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}
