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
std::vector<Restore> start;

// Copies the start state once every global of the program has been constructed: the test
// framework sets environments up after all of them and before the first test, whatever order
// the files' initialisers ran in. A repeated run (--gtest_repeat) keeps the first copy.
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
                 Keep(backBuffer),     Keep(titleSurface), Keep(primaryDesc),  Keep(mainWindow)};
    }
};

[[maybe_unused]] ::testing::Environment* const startStateCopy =
    ::testing::AddGlobalTestEnvironment(new StartStateCopy);

} // namespace

void ResetEverything() {
    if (start.empty()) {
        std::fprintf(stderr, "test_support: a reset before the start state was copied\n");
        std::abort();
    }
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

std::string BitmapFile(LONG width, LONG height, const std::string& pixels, DWORD pixelOffset) {
    std::string bytes = "BM" + std::string(52, '\0');
    const std::pair<int, DWORD> fields[] = {{10, pixelOffset},
                                            {14, 40},
                                            {18, static_cast<DWORD>(width)},
                                            {22, static_cast<DWORD>(height)},
                                            {26, 0x180001}}; // one plane, 24 bits
    for (const auto& [at, value] : fields)
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes + pixels;
}

std::string FlatBitmapFile(LONG width, LONG height, WORD colour) {
    const char bgr[] = {static_cast<char>((colour & 0x1F) << 3),
                        static_cast<char>((colour >> 5 & 0x3F) << 2),
                        static_cast<char>(colour >> 11 << 3)};
    std::string pixels;
    pixels.reserve(static_cast<size_t>(width) * height * 3);
    for (LONG i = 0; i < width * height; ++i)
        pixels.append(bgr, 3);
    return BitmapFile(width, height, pixels);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<WORD> SurfacePixels(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    std::vector<WORD> pixels;
    if (!surface || FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return pixels;
    const auto* row = static_cast<const WORD*>(desc.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        pixels.insert(pixels.end(), row, row + desc.dwWidth);
        row += desc.lPitch / 2;
    }
    surface->Unlock(nullptr);
    return pixels;
}

bool StartDisplay() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    RegisterClassExA(&windowClass);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
    return mainWindow && InitDirectDraw();
}
