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
#include <functional>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

// Puts one value back; Keep(value) makes one that puts it back to what it holds now.
using Restore = std::function<void()>;

template <typename T> Restore Keep(T& value) {
    return [&value, start = value] { value = start; };
}

// Every process-wide value the program starts with, as its own definitions set it.
std::vector<Restore> gameStart;
std::vector<Restore> displayStart;

// Copies the start state once every global of the program has been constructed: the test
// framework sets environments up after all of them and before the first test, whatever order
// the files' initialisers ran in. A repeated run (--gtest_repeat) keeps the first copy.
class StartStateCopy : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!gameStart.empty())
            return;
        gameStart = {Keep(Player),         Keep(Enemy),        Keep(Ball),
                     Keep(Score),          Keep(Lives),        Keep(Level),
                     Keep(youWin),         Keep(youLose),      Keep(gameOver),
                     Keep(debugInfo),      Keep(nextMoveTime), Keep(nextInputTime),
                     Keep(nextToggleTime), Keep(randomState),  Keep(frameCount),
                     Keep(lastFps),        Keep(nextFpsTime)};
        displayStart = {Keep(directDraw), Keep(directDraw4),  Keep(primarySurface),
                        Keep(backBuffer), Keep(titleSurface), Keep(primaryDesc),
                        Keep(mainWindow)};
    }
};

[[maybe_unused]] ::testing::Environment* const startStateCopy =
    ::testing::AddGlobalTestEnvironment(new StartStateCopy);

void RestoreAll(const std::vector<Restore>& values) {
    if (values.empty()) {
        std::fprintf(stderr, "test_support: a reset before the start state was copied\n");
        std::abort();
    }
    for (const Restore& restore : values)
        restore();
}

} // namespace

void ResetGame() {
    RestoreAll(gameStart);
}

void ResetEverything() {
    scripted::Install();
    RestoreAll(gameStart);
    RestoreAll(displayStart);
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
