// The SDL2 host on SDL's dummy video driver: a real SDL window and window surface, no screen.
#include "sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class SdlHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Asked for by name, the dummy driver is taken as a display. With no X or Wayland
        // display named, no message box can pop up and wait for someone.
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_RENDER_VSYNC", "0", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        PortReset();
        PortSetHost(SdlHost());
    }
    void TearDown() override {
        SdlHost()->closeWindow();
        PortReset();
        PortSetHost(nullptr);
        SDL_Quit();
    }
    const PortHost& host = *SdlHost();
};

// Each quarter of an 800 x 600 page in its own colour.
std::vector<WORD> QuarterPage() {
    std::vector<WORD> page(800 * 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            page[y * 800 + x] = y < 300 ? (x < 400 ? 0xF800 : 0x07E0) : (x < 400 ? 0x001F : 0xA514);
    return page;
}

SDL_Color PixelAt(SDL_Surface* s, int x, int y) {
    Uint32 value =
        *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
    SDL_Color c = {0, 0, 0, 255};
    SDL_GetRGB(value, s->format, &c.r, &c.g, &c.b);
    return c;
}

TEST_F(SdlHostTest, TheModeFillsTheDisplayAndEachPageShowsScaledUntilTheModeIsGiven) {
    std::vector<WORD> page = QuarterPage();
    host.present(page.data(), 1600, 800, 600); // no window yet: nothing to show, no harm

    ASSERT_TRUE(host.openWindow("Vantorel", 1024, 768));
    SDL_Window* window = SdlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Vantorel");
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_BORDERLESS);
    host.present(page.data(), 1600, 800, 600); // no mode yet: still nothing

    EXPECT_FALSE(host.setDisplayMode(800, 600, 32));
    ASSERT_TRUE(host.setDisplayMode(800, 600, 16));
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP,
              static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
    EXPECT_EQ(host.surfacePitch(800), 1600);

    host.present(page.data(), 1600, 800, 600);
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    SDL_Rect display;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0);
    ASSERT_EQ(shown->w, display.w);
    ASSERT_EQ(shown->h, display.h);
    // The dummy display has the mode's shape, so the quarters meet at its centre.
    struct Spot {
        int x, y;
        Uint8 r, g, b;
    } spots[] = {
        {0, 0, 255, 0, 0},
        {display.w / 2 - 1, display.h / 2 - 1, 255, 0, 0},
        {display.w / 2, 0, 0, 255, 0},
        {0, display.h / 2, 0, 0, 255},
        {display.w - 1, display.h - 1, 165, 162, 165},
    };
    int n = 0;
    for (const Spot& s : spots) {
        SDL_Color c = PixelAt(shown, s.x, s.y);
        EXPECT_EQ(c.r, s.r) << "spot " << n;
        EXPECT_EQ(c.g, s.g) << "spot " << n;
        EXPECT_EQ(c.b, s.b) << "spot " << n;
        ++n;
    }

    host.restoreDisplayMode();
    EXPECT_FALSE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SdlHostTest, ClosingTheWindowIsOneCloseRequestAndDestroyingItClosesTheSdlWindow) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = "WindowClass";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                  768, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(SdlWindow(), nullptr);

    // Closing the last window brings SDL_QUIT after the window's own event.
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(SdlWindow());
    SDL_PushEvent(&event);
    event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);

    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(SdlWindow(), nullptr);
}

} // namespace
