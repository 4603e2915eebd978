// What it costs the SDL2 host to show one 800 x 600 page, on each of its two paths, with
// vsync off: `DISPLAY=... build/linux/bin/sdl_present`. Needs a display (Xvfb will do).
#include "sdl_host.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A page with the colours and the busy title band of a game frame.
std::vector<WORD> SomePage() {
    std::vector<WORD> page(800 * 600, 0);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            page[y * 800 + x] =
                y < 122 ? static_cast<WORD>(x * 37 + y * 11) : (x % 100 < 2 ? 0xA514 : 0);
    return page;
}

void Present(benchmark::State& state, bool accelerated) {
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    if (accelerated)
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    else
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const PortHost& host = *SdlHost();
    if (!host.openWindow("Vantorel", 1024, 768) || !host.setDisplayMode(800, 600)) {
        host.closeWindow();
        state.SkipWithError("no display");
        return;
    }
    SDL_Renderer* renderer = SDL_GetRenderer(SdlWindow());
    SDL_RendererInfo info;
    std::string path = "window surface";
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0)
        path = std::string("renderer ") + info.name;
    int w = 0, h = 0;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    state.SetLabel(path + " at " + std::to_string(w) + "x" + std::to_string(h));

    std::vector<WORD> page = SomePage();
    for (auto _ : state) {
        host.pumpEvents();
        host.present({reinterpret_cast<BYTE*>(page.data()), 1600}, 800, 600);
    }
    host.restoreDisplayMode();
    host.closeWindow();
}

void BM_PresentRenderer(benchmark::State& state) {
    Present(state, true);
}
void BM_PresentWindowSurface(benchmark::State& state) {
    Present(state, false);
}
BENCHMARK(BM_PresentRenderer)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PresentWindowSurface)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    SDL_Init(SDL_INIT_EVENTS);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
