// The SDL2 host: the choice of path, scaling and pixel conversion, then the host itself on
// SDL's dummy video driver.
#include "sdl_host.h"
#include "sdl_path.h"
#include "sdl_scale.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace {

using sdlpath::Choice;

TEST(SdlPath, TheUserChoosesBySdlHintsAndOtherwiseASoftwareOnlyDisplayGetsNoRenderer) {
    const struct {
        const char* acceleration; // SDL_FRAMEBUFFER_ACCELERATION
        const char* driver;       // SDL_RENDER_DRIVER
        Choice choice;
        bool onSoftwareOnly; // whether a renderer is tried where OpenGL can only be software
        bool onOther;        // and where it may be a GPU
    } rows[] = {
        {nullptr, nullptr, Choice::Automatic, false, true}, // nothing set: the display decides
        {"", "", Choice::Automatic, false, true},           // set empty: the same
        {"0", nullptr, Choice::WindowSurface, false, false},
        {"False", "opengl", Choice::WindowSurface, false, false}, // off wins over a driver
        {"software", nullptr, Choice::WindowSurface, false, false},
        {"1", nullptr, Choice::Renderer, true, true},
        {"opengl", nullptr, Choice::Renderer, true, true}, // SDL reads a driver's name as on
        {nullptr, "software", Choice::Renderer, true, true},
    };
    for (const auto& row : rows) {
        const Choice choice = sdlpath::UserChoice(row.acceleration, row.driver);
        SCOPED_TRACE(std::string(row.acceleration ? row.acceleration : "unset") + " / " +
                     (row.driver ? row.driver : "unset"));
        EXPECT_EQ(choice, row.choice);
        EXPECT_EQ(sdlpath::TryRenderer(choice, true), row.onSoftwareOnly);
        EXPECT_EQ(sdlpath::TryRenderer(choice, false), row.onOther);
    }
}

TEST(SdlPath, ARendererThatDrawsOnTheProcessorIsDroppedUnlessTheUserAskedForIt) {
    const struct {
        const char* name; // SDL's name for the renderer
        Uint32 flags;
        const char* gl; // GL_RENDERER
        bool kept;      // when the choice was left to the host
    } rows[] = {
        {"opengl", SDL_RENDERER_ACCELERATED, "llvmpipe (LLVM 15.0.6, 256 bits)", false},
        {"opengles2", SDL_RENDERER_ACCELERATED, "softpipe", false},
        {"opengl", SDL_RENDERER_ACCELERATED, "Mesa DRI SWRAST", false},
        {"opengl", SDL_RENDERER_ACCELERATED, "Software Rasterizer", false},
        {"opengl", SDL_RENDERER_ACCELERATED, "zink (llvmpipe (LLVM 15.0.6))", false},
        {"software", SDL_RENDERER_SOFTWARE, nullptr, false}, // SDL's own, by flag and name
        {"custom", SDL_RENDERER_SOFTWARE, nullptr, false},
        {"opengl", SDL_RENDERER_ACCELERATED, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", true},
        {"opengl", SDL_RENDERER_ACCELERATED, "NVIDIA GeForce GTX 1060/PCIe/SSE2", true},
        {"direct3d11", SDL_RENDERER_ACCELERATED, nullptr, true}, // nothing says software
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + (row.gl ? row.gl : ""));
        EXPECT_EQ(sdlpath::KeepRenderer(Choice::Automatic, row.name, row.flags, row.gl), row.kept);
        EXPECT_TRUE(sdlpath::KeepRenderer(Choice::Renderer, row.name, row.flags, row.gl));
    }
}
TEST(SdlScale, LetterboxKeepsThePictureShapeCentredInAnyWindow) {
    const int cases[][6] = {// the window's width and height, the picture's x, y, width, height
                            {1920, 1080, 240, 0, 1440, 1080},
                            {1366, 768, 171, 0, 1024, 768},
                            {800, 900, 0, 150, 800, 600}};
    for (const auto& c : cases) {
        const SDL_Rect r = sdlscale::Letterbox(800, 600, c[0], c[1]);
        EXPECT_EQ(std::tie(r.x, r.y, r.w, r.h), std::tie(c[2], c[3], c[4], c[5])) << c[0];
    }
}

TEST(SdlScale, TableWidensEachChannelByRepeatingItsTopBitsInTheTargetLayout) {
    const std::pair<WORD, int> cases[] = {{0xF800, 0xFF0000}, {0xA514, 0xA5A2A5}};
    for (Uint32 format : {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888}) {
        SDL_PixelFormat* f = SDL_AllocFormat(format);
        for (const auto& [pixel, rgb] : cases) {
            Uint8 r, g, b;
            SDL_GetRGB(sdlscale::MakeTable(f)[pixel], f, &r, &g, &b);
            EXPECT_EQ(r << 16 | g << 8 | b, rgb) << std::hex << pixel << " in " << format;
        }
        SDL_FreeFormat(f);
    }
}

// Each target pixel shows the source pixel under its centre; a page drawn twice its size into
// a rectangle shows its rows without their padding, and nothing outside the rectangle changes.
TEST(SdlScale, PagesScaleByThePixelUnderEachCentreIntoTheirRectangleOnly) {
    EXPECT_EQ(sdlscale::SourceIndices(6, 3), (std::vector<int>{1, 3, 5}));
    const std::vector<WORD> page = {1, 2, 0xDEAD, 11, 12, 0xDEAD}; // rows of 6 bytes
    std::vector<Uint32> table(65536), target(5 * 5, 7);
    std::iota(table.begin(), table.end(), 0u);
    sdlscale::DrawPage(page.data(), 6, table, sdlscale::SourceIndices(2, 4),
                       sdlscale::SourceIndices(2, 4), reinterpret_cast<Uint8*>(target.data()),
                       5 * 4, {1, 1, 4, 4});
    EXPECT_EQ(target, (std::vector<Uint32>{7, 7,  7,  7,  7,  //
                                           7, 1,  1,  2,  2,  //
                                           7, 1,  1,  2,  2,  //
                                           7, 11, 11, 12, 12, //
                                           7, 11, 11, 12, 12}));
}

struct SdlHostTest : ::testing::Test {
    TempDir dir;

    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1); // asked for by name, it is taken as a display
        setenv("VANTOREL_PRESENT_LOG", "presents.txt", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        PortReset();
        PortSetHost(SdlHost());
    }
    void TearDown() override {
        PortReset();
        PortSetHost(nullptr);
        SDL_Quit();
        unsetenv("VANTOREL_PRESENT_LOG");
    }
};

TEST_F(SdlHostTest, TheModeFillsTheDisplayWithThePageAndClosingIsOneRequest) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                  768, nullptr, nullptr, nullptr, nullptr);
    SDL_Window* sdlWindow = SdlWindow();
    ASSERT_NE(sdlWindow, nullptr);

    ASSERT_TRUE(SdlHost()->setDisplayMode(800, 600, 16));
    EXPECT_EQ(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP,
              Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP});
    std::vector<WORD> page(800 * 600, 0xA514); // red in the top left quarter, grey elsewhere
    for (int i = 0; i < 800 * 300; ++i)
        page[i] = i % 800 < 400 ? 0xF800 : 0xA514;
    SdlHost()->present(page.data(), 1600, 800, 600);
    SDL_Surface* shown = SDL_GetWindowSurface(sdlWindow);
    const int w = shown->w / 2, h = shown->h / 2; // where the quarters meet
    const int spots[][3] = {{w - 1, h - 1, 0xFF0000}, {w, h - 1, 0xA5A2A5}, {w - 1, h, 0xA5A2A5}};
    for (const auto& s : spots) {
        Uint8 r, g, b;
        SDL_GetRGB(static_cast<Uint32*>(shown->pixels)[s[1] * shown->pitch / 4 + s[0]],
                   shown->format, &r, &g, &b);
        EXPECT_EQ(r << 16 | g << 8 | b, s[2]) << "at " << s[0] << "," << s[1];
    }

    SDL_Event events[2] = {}; // closing the last window: its own event, then SDL_QUIT
    events[0].type = SDL_WINDOWEVENT;
    events[0].window.event = SDL_WINDOWEVENT_CLOSE;
    events[1].type = SDL_QUIT;
    ASSERT_EQ(SDL_PeepEvents(events, 2, SDL_ADDEVENT, 0, 0), 2);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(std::tie(msg.hwnd, msg.message), std::make_tuple(window, UINT{WM_CLOSE}));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(SdlWindow(), nullptr);

    // The measuring aid: the path taken, then one time for the page shown.
    std::ifstream log("presents.txt");
    std::string path, time, rest;
    std::getline(log, path);
    std::getline(log, time);
    EXPECT_EQ(path, "path window surface");
    EXPECT_GT(std::stoll(time), 0);
    EXPECT_FALSE(std::getline(log, rest)) << rest;
}

} // namespace
