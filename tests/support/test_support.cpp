#include "support/test_support.h"

#include "display/device.h"
#include "display/frame.h"
#include "display/pacing.h"
#include "display/surfaces.h"
#include "game/collisions.h"
#include "game/play.h"
#include "game/world.h"
#include "shell/keys.h"
#include "shell/main_window.h"
#include "shell/pads.h"
#include "scripted_host.h"

#include <cstdlib>
#include <cstring>
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
        start = {Keep(Player),         Keep(Enemy),          Keep(Ball),
                 Keep(Score),          Keep(Lives),          Keep(Level),
                 Keep(youWin),         Keep(youLose),        Keep(gameOver),
                 Keep(debugInfo),      Keep(nextMoveTime),   Keep(nextInputTime),
                 Keep(nextToggleTime), Keep(randomState),    Keep(frameCount),
                 Keep(lastFps),        Keep(nextFpsTime),    Keep(directDraw),
                 Keep(directDraw4),    Keep(primarySurface), Keep(backBuffer),
                 Keep(titleSurface),   Keep(primaryDesc),    Keep(mainWindow),
                 Keep(framePacer),     Keep(windowed),       Keep(displaySwitchAsked),
                 Keep(enterHeldBack),     Keep(pads)};
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

std::string Boxes() {
    std::string boxes;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes()) {
        const char* owner = box.owner == nullptr ? "none" : "other";
        if (box.owner && box.owner == mainWindow)
            owner = "window";
        boxes += (boxes.empty() ? "" : "\n") + std::string(owner) + '|' + box.text + '|' +
                 box.caption + '|' + std::to_string(box.style);
    }
    return boxes;
}

void WriteTitle(LONG width, LONG height, const std::string& pixels) {
    std::string header = "BM" + std::string(52, '\0');
    header[10] = 54; // the pixels' offset
    header[14] = 40; // the info header's size
    header[26] = 1;  // one plane
    header[28] = 24; // bits per pixel
    std::memcpy(&header[18], &width, 4);
    std::memcpy(&header[22], &height, 4);
    std::ofstream("FinalTitle.bmp", std::ios::binary) << header << pixels;
}
