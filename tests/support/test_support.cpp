#include "support/test_support.h"

#include "display/device.h"
#include "display/frame.h"
#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/main_window.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace {

// Every process-wide value the program starts with, as its own definitions set it.
struct StartState {
    Paddle player;
    Paddle enemy;
    BallObject ball;
    int score;
    int lives;
    int level;
    bool youWin;
    bool youLose;
    bool gameOver;
    bool debugInfo;
    DWORD nextMoveTime;
    DWORD nextInputTime;
    DWORD nextToggleTime;
    DWORD randomState;
    int frameCount;
    int lastFps;
    DWORD nextFpsTime;
    LPDIRECTDRAW directDraw;
    LPDIRECTDRAW4 directDraw4;
    LPDIRECTDRAWSURFACE4 primarySurface;
    LPDIRECTDRAWSURFACE4 backBuffer;
    LPDIRECTDRAWSURFACE4 titleSurface;
    DDSURFACEDESC2 primaryDesc;
    HWND mainWindow;
};

std::optional<StartState> start;

// Copies the start state once every global of the program has been constructed: the test
// framework sets environments up after all of them and before the first test, whatever order
// the files' initialisers ran in. A repeated run (--gtest_repeat) keeps the first copy.
class StartStateCopy : public ::testing::Environment {
  public:
    void SetUp() override {
        if (start)
            return;
        start = StartState{Player,       Enemy,         Ball,           Score,       Lives,
                           Level,        youWin,        youLose,        gameOver,    debugInfo,
                           nextMoveTime, nextInputTime, nextToggleTime, randomState, frameCount,
                           lastFps,      nextFpsTime,   directDraw,     directDraw4, primarySurface,
                           backBuffer,   titleSurface,  primaryDesc,    mainWindow};
    }
};

[[maybe_unused]] ::testing::Environment* const startStateCopy =
    ::testing::AddGlobalTestEnvironment(new StartStateCopy);

const StartState& Start() {
    if (!start) {
        std::fprintf(stderr, "test_support: a reset before the start state was copied\n");
        std::abort();
    }
    return *start;
}

} // namespace

void ResetGame() {
    const StartState& s = Start();
    Player = s.player;
    Enemy = s.enemy;
    Ball = s.ball;
    Score = s.score;
    Lives = s.lives;
    Level = s.level;
    youWin = s.youWin;
    youLose = s.youLose;
    gameOver = s.gameOver;
    debugInfo = s.debugInfo;
    nextMoveTime = s.nextMoveTime;
    nextInputTime = s.nextInputTime;
    nextToggleTime = s.nextToggleTime;
    randomState = s.randomState;
    frameCount = s.frameCount;
    lastFps = s.lastFps;
    nextFpsTime = s.nextFpsTime;
}

void ResetDisplayHandles() {
    const StartState& s = Start();
    directDraw = s.directDraw;
    directDraw4 = s.directDraw4;
    primarySurface = s.primarySurface;
    backBuffer = s.backBuffer;
    titleSurface = s.titleSurface;
    primaryDesc = s.primaryDesc;
    mainWindow = s.mainWindow;
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
