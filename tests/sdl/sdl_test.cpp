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
        {"False", "opengl", Choice::WindowSurface, false, false}, // off wins over a driver
        {"software", nullptr, Choice::WindowSurface, false, false},
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
        {"direct3d11", SDL_RENDERER_ACCELERATED, nullptr, true}, // nothing says software
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + (row.gl ? row.gl : ""));
        EXPECT_EQ(sdlpath::KeepRenderer(Choice::Automatic, row.name, row.flags, row.gl), row.kept);
        EXPECT_TRUE(sdlpath::KeepRenderer(Choice::Renderer, row.name, row.flags, row.gl));
    }
}

TEST(SdlScale, LetterboxKeepsThePictureShapeCentredInAnyWindow) {
    const struct {
        const char* window;
        int windowWidth, windowHeight;
        SDL_Rect picture;
    } cases[] = {
        {"wider than the picture: bars left and right", 1920, 1080, {240, 0, 1440, 1080}},
        {"taller than the picture: bars above and below", 800, 900, {0, 150, 800, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        const SDL_Rect r = sdlscale::Letterbox(800, 600, c.windowWidth, c.windowHeight);
        EXPECT_EQ(r.x, c.picture.x);
        EXPECT_EQ(r.y, c.picture.y);
        EXPECT_EQ(r.w, c.picture.w);
        EXPECT_EQ(r.h, c.picture.h);
    }
}

TEST(SdlScale, TableWidensEachChannelByRepeatingItsTopBitsInTheTargetLayout) {
    const struct {
        WORD pixel; // 5-6-5
        int rgb;    // 8-8-8
    } cases[] = {{0xF800, 0xFF0000}, {0xA514, 0xA5A2A5}};
    for (Uint32 format : {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888}) {
        SDL_PixelFormat* f = SDL_AllocFormat(format);
        for (const auto& c : cases) {
            Uint8 r, g, b;
            SDL_GetRGB(sdlscale::MakeTable(f)[c.pixel], f, &r, &g, &b);
            EXPECT_EQ(r << 16 | g << 8 | b, c.rgb) << std::hex << c.pixel << " in " << format;
        }
        SDL_FreeFormat(f);
    }
}

// Each target pixel shows the source pixel under its centre; a page drawn twice its size into
// a rectangle shows its rows without their padding, and nothing outside the rectangle changes.
TEST(SdlScale, PagesScaleByThePixelUnderEachCentreIntoTheirRectangleOnly) {
    EXPECT_EQ(sdlscale::SourceIndices(6, 3), (std::vector<int>{1, 3, 5}));
    const std::vector<WORD> page = {1, 2, 0xDEAD, 11, 12, 0xDEAD}; // rows of 6 bytes
    std::vector<Uint32> table(65536);
    std::vector<Uint32> target(5 * 5, 7);
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

// The game's mode takes the whole display, and a page fills it with its shape kept: here the
// dummy display's 1024 x 768, where the page's quarters meet in the middle. The measuring aid
// logs the time of the page shown, after the path taken (which the end-to-end tests check).
TEST_F(SdlHostTest, TheModeFillsTheDisplayWithThePageAndEachPageIsTimed) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                    nullptr, nullptr, nullptr);
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
    const int midX = shown->w / 2;
    const int midY = shown->h / 2;
    const struct {
        const char* where;
        int x, y;
        int rgb;
    } spots[] = {
        {"the red quarter's last pixel", midX - 1, midY - 1, 0xFF0000},
        {"right of it", midX, midY - 1, 0xA5A2A5},
        {"below it", midX - 1, midY, 0xA5A2A5},
    };
    for (const auto& spot : spots) {
        Uint8 r, g, b;
        SDL_GetRGB(static_cast<Uint32*>(shown->pixels)[spot.y * shown->pitch / 4 + spot.x],
                   shown->format, &r, &g, &b);
        EXPECT_EQ(r << 16 | g << 8 | b, spot.rgb) << spot.where;
    }

    std::ifstream log("presents.txt");
    std::string path, time, rest;
    std::getline(log, path);
    std::getline(log, time);
    EXPECT_GT(std::stoll(time), 0);
    EXPECT_FALSE(std::getline(log, rest)) << rest;
}

} // namespace
