#include "support/test_support.h"

#include "display/device.h"
#include "display/frame.h"
#include "display/pacing.h"
#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/main_window.h"
#include "shell/pads.h"
#include "scripted_host.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Puts one value back; Keep(value) makes one that puts it back to what it holds now.
using Restore = std::function<void()>;

template <typename T> Restore Keep(T& value) {
    return [&value, start = value] { value = start; };
}

// Every process-wide value the program starts with, copied once all globals are constructed:
// environments are set up after them and before the first test; --gtest_repeat keeps the first.
std::vector<Restore> start;

class StartStateCopy : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!start.empty())
            return;
        start = {Keep(Player),         Keep(Enemy),        Keep(Ball),         Keep(Score),
                 Keep(Lives),          Keep(Level),        Keep(youWin),       Keep(youLose),
                 Keep(gameOver),       Keep(debugInfo),    Keep(nextMoveTime), Keep(nextInputTime),
                 Keep(nextToggleTime), Keep(randomState),  Keep(frameCount),   Keep(lastFps),
                 Keep(nextFpsTime),    Keep(directDraw),   Keep(directDraw4),  Keep(primarySurface),
                 Keep(backBuffer),     Keep(titleSurface), Keep(primaryDesc),  Keep(mainWindow),
                 Keep(framePacer),     Keep(pads)};
    }
};

[[maybe_unused]] ::testing::Environment* const startStateCopy =
    ::testing::AddGlobalTestEnvironment(new StartStateCopy);

} // namespace

void ResetEverything() {
    scripted::Install();
    for (const Restore& restore : start)
        restore();
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
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}
