// The frame benchmark: what one frame costs on the scripted host, whose present copies the
// page as a real one would, next to references measured in the same run: the floor (one
// memset and one memcpy of a whole 800 x 600 16-bit page), the same work spread over the three
// pages a frame touches (the chain's two, whose roles change every frame, and the host's),
// and SDL2's own software routines drawing the same scene on an RGB565 surface.
//
//   vantorel_bench [--frames=N] [benchmark flags]
//
// --frames=N runs every case exactly N times (for callgrind, scripts/callgrind-frame).
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "display/text.h"
#include "game/world.h"
#include "test_hooks.h"
#include "scripted_host.h"
#include "shell/main_window.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Width = 800, Height = 600;
constexpr size_t PageBytes = static_cast<size_t>(Width) * Height * 2;

LRESULT CALLBACK QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The game as WinMain leaves it before its first frame, on the scripted host, with the
// title beside this program.
void StartGame() {
    scripted::Install();
    scripted::SetRecording(false); // the call log would grow with every frame
    scripted::SetKeepPresents(true);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = QuietProc;
    wc.lpszClassName = "WindowClass";
    RegisterClassExA(&wc);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
    // InitDirectDraw reads FinalTitle.bmp from the working directory.
    std::error_code ignored;
    const std::filesystem::path here = std::filesystem::current_path(ignored);
    std::filesystem::current_path(std::filesystem::canonical("/proc/self/exe").parent_path(),
                                  ignored);
    const bool ready = mainWindow && InitDirectDraw() && titleSurface;
    std::filesystem::current_path(here, ignored);
    if (!ready) {
        std::fprintf(stderr, "vantorel_bench: the display could not be set up with its title\n");
        std::exit(1);
    }
}

void StopGame() {
    ReleaseDirectDraw();
    PortReset();
}

void Failed(benchmark::State& state, const char* what) {
    state.SkipWithError(what);
}

// A whole frame of play with the overlay on. Enter is held, so a round's end is dismissed in
// the frame that shows it and play goes on; 16 ms pass per frame, so the ball steps in each.
void GameFrameCase(benchmark::State& state) {
    StartGame();
    debugInfo = true;
    scripted::SetKey(VK_RETURN, true);
    scripted::SetClock(1000);
    for (auto _ : state) {
        scripted::AdvanceClock(16);
        GameFrame();
    }
    if (!scripted::MessageBoxes().empty())
        Failed(state, "a frame reported a failure");
    StopGame();
}

void RenderSceneCase(benchmark::State& state) {
    StartGame();
    for (auto _ : state)
        RenderScene();
    if (!scripted::MessageBoxes().empty())
        Failed(state, "the scene reported a failure");
    StopGame();
}

void ClearCase(benchmark::State& state) {
    StartGame();
    DDBLTFX fx;
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof(DDBLTFX);
    for (auto _ : state) {
        if (FAILED(backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx)))
            Failed(state, "Blt failed");
    }
    StopGame();
}

void TitleStretchCase(benchmark::State& state) {
    StartGame();
    DDBLTFX fx;
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof(DDBLTFX);
    RECT source = {0, 0, 700, 120};
    RECT dest = {49, 1, 750, 122};
    for (auto _ : state) {
        if (FAILED(backBuffer->Blt(&dest, titleSurface, &source, DDBLT_WAIT, &fx)))
            Failed(state, "Blt failed");
    }
    StopGame();
}

// The longest line of a frame.
void PrintTextCase(benchmark::State& state) {
    StartGame();
    for (auto _ : state)
        PrintText(165, 570,
                  "ESC to quit, arrow keys to move, Enter on prompt and F5 for debug info.",
                  LightGrey);
    StopGame();
}

void FloorCase(benchmark::State& state) {
    std::vector<unsigned char> page(PageBytes), screen(PageBytes);
    for (auto _ : state) {
        std::memset(page.data(), 0, PageBytes);
        benchmark::ClobberMemory();
        std::memcpy(screen.data(), page.data(), PageBytes);
        benchmark::DoNotOptimize(screen.data());
        benchmark::ClobberMemory();
    }
}

// The floor's work as a frame has to do it: the back page is cleared, the pages change over,
// and the host copies the shown one into a page of its own, as the scripted host's present
// does. Three pages do not stay in the processor's cache the way the floor's two do.
void FlipFloorCase(benchmark::State& state) {
    std::vector<unsigned char> pages[2] = {std::vector<unsigned char>(PageBytes),
                                           std::vector<unsigned char>(PageBytes)};
    std::vector<unsigned char> screen(PageBytes);
    int back = 0;
    for (auto _ : state) {
        std::memset(pages[back].data(), 0, PageBytes);
        benchmark::ClobberMemory();
        std::memcpy(screen.data(), pages[back].data(), PageBytes);
        benchmark::DoNotOptimize(screen.data());
        benchmark::ClobberMemory();
        back = 1 - back;
    }
}

// SDL2's software routines on RGB565 surfaces: the reference for RenderScene.
struct SdlScene {
    SDL_Surface* screen;
    SDL_Surface* title;

    SdlScene() {
        screen = SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 16, SDL_PIXELFORMAT_RGB565);
        title = SDL_CreateRGBSurfaceWithFormat(0, 700, 120, 16, SDL_PIXELFORMAT_RGB565);
        if (!screen || !title) {
            std::fprintf(stderr, "vantorel_bench: %s\n", SDL_GetError());
            std::exit(1);
        }
        // Any picture will do; a gradient keeps the blit from meeting one colour only.
        for (int y = 0; y < 120; ++y) {
            auto* row =
                reinterpret_cast<Uint16*>(static_cast<Uint8*>(title->pixels) + y * title->pitch);
            for (int x = 0; x < 700; ++x)
                row[x] = static_cast<Uint16>(x * 93 + y * 7);
        }
    }
    ~SdlScene() {
        SDL_FreeSurface(title);
        SDL_FreeSurface(screen);
    }
    void Clear() { SDL_FillRect(screen, nullptr, 0x0000); }
    void Fill(int left, int top, int right, int bottom, Uint32 colour) {
        SDL_Rect r = {left, top, right - left, bottom - top};
        SDL_FillRect(screen, &r, colour);
    }
    void Title() {
        SDL_Rect source = {0, 0, 700, 120};
        SDL_Rect dest = {49, 1, 701, 121};
        SDL_BlitScaled(title, &source, screen, &dest);
    }
    // What GameFrame's clear and RenderScene draw in the first frame.
    void Draw() {
        Clear();
        Fill(380, 550, 420, 555, 0x0FC0);
        Fill(380, 150, 420, 155, 0x0FC0);
        Fill(395, 347, 400, 352, 0x0FC0);
        Fill(98, 143, 702, 145, 0xA514);
        Fill(700, 145, 702, 560, 0xA514);
        Fill(98, 560, 702, 562, 0xA514);
        Fill(98, 145, 100, 560, 0xA514);
        Title();
    }
};

void SdlSceneCase(benchmark::State& state) {
    SdlScene sdl;
    for (auto _ : state) {
        sdl.Draw();
        benchmark::DoNotOptimize(sdl.screen->pixels);
    }
}

void SdlClearCase(benchmark::State& state) {
    SdlScene sdl;
    for (auto _ : state) {
        sdl.Clear();
        benchmark::DoNotOptimize(sdl.screen->pixels);
    }
}

void SdlBlitScaledCase(benchmark::State& state) {
    SdlScene sdl;
    for (auto _ : state) {
        sdl.Title();
        benchmark::DoNotOptimize(sdl.screen->pixels);
    }
}

// Prints as usual and keeps each case's time per frame for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.error_occurred)
                continue;
            const std::string& name = run.run_name.function_name;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians_.count(name)))
                nanoseconds_[name] = run.GetAdjustedCPUTime();
            if (median)
                medians_[name] = true;
        }
    }

    // A goal of 0 prints the ratio alone.
    void PrintRatio(const char* label, const char* over, const char* under, double goal) const {
        auto a = nanoseconds_.find(over), b = nanoseconds_.find(under);
        if (a == nanoseconds_.end() || b == nanoseconds_.end() || b->second <= 0)
            return;
        const double ratio = a->second / b->second;
        std::printf("%-28s %6.2f  (%.0f ns / %.0f ns", label, ratio, a->second, b->second);
        if (goal > 0)
            std::printf("; goal <= %.1f: %s", goal, ratio <= goal ? "met" : "NOT met");
        std::printf(")\n");
    }

  private:
    std::map<std::string, double> nanoseconds_;
    std::map<std::string, bool> medians_;
};

} // namespace

int main(int argc, char** argv) {
    // Our own flag first; the rest are the benchmark library's.
    long frames = 0;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strncmp(argv[i], "--frames=", 9) == 0)
            frames = std::strtol(argv[i] + 9, nullptr, 10);
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    const struct {
        const char* name;
        void (*run)(benchmark::State&);
    } cases[] = {
        {"GameFrame", GameFrameCase}, {"RenderScene", RenderSceneCase},
        {"Clear", ClearCase},         {"TitleStretch", TitleStretchCase},
        {"PrintText", PrintTextCase}, {"Floor", FloorCase},
        {"FlipFloor", FlipFloorCase}, {"SdlScene", SdlSceneCase},
        {"SdlClear", SdlClearCase},   {"SdlBlitScaled", SdlBlitScaledCase},
    };
    for (const auto& c : cases) {
        auto* b = benchmark::RegisterBenchmark(c.name, c.run)->Unit(benchmark::kNanosecond);
        if (frames > 0)
            b->Iterations(frames);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nCPU time per frame, in the same run:\n");
    reporter.PrintRatio("GameFrame / floor", "GameFrame", "Floor", 1.5);
    reporter.PrintRatio("FlipFloor / floor", "FlipFloor", "Floor", 0);
    reporter.PrintRatio("GameFrame / FlipFloor", "GameFrame", "FlipFloor", 0);
    reporter.PrintRatio("RenderScene / SDL scene", "RenderScene", "SdlScene", 1.0);
    benchmark::Shutdown();
    return 0;
}
