// How the SDL2 host's pages reach the screen: the way it takes from SDL's hints and the
// renderer it is given, and the picture letterboxed and scaled on displays not 800 x 600.
#include "sdl_page_route.h"
#include "sdl_scale.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <numeric>

namespace {

using pageroute::Choice;

TEST(PageRoute, TheUsersHintsChooseTheWay) {
    const struct {
        const char* acceleration; // SDL_FRAMEBUFFER_ACCELERATION
        const char* driver;       // SDL_RENDER_DRIVER
        Choice choice;
    } rows[] = {
        {nullptr, nullptr, Choice::Automatic},
        {"", "", Choice::Automatic},
        {"0", nullptr, Choice::WindowSurface},
        {"FALSE", nullptr, Choice::WindowSurface},
        {"Software", nullptr, Choice::WindowSurface},
        {"0", "opengl", Choice::WindowSurface},
        {"1", nullptr, Choice::Renderer},
        {"opengl", nullptr, Choice::Renderer},
        {nullptr, "opengl", Choice::Renderer},
        {"", "software", Choice::Renderer},
    };
    for (const auto& r : rows)
        EXPECT_EQ(pageroute::UserChoice(r.acceleration, r.driver), r.choice)
            << (r.acceleration ? r.acceleration : "unset") << " / "
            << (r.driver ? r.driver : "unset");
}

TEST(PageRoute, ARendererOnTheProcessorIsTriedAndKeptOnlyWhenAskedFor) {
    const struct {
        Choice choice;
        bool softwareOnlyDisplay;
        bool tried;
    } tries[] = {{Choice::Automatic, false, true},
                 {Choice::Automatic, true, false},
                 {Choice::Renderer, true, true},
                 {Choice::WindowSurface, false, false}};
    for (const auto& t : tries)
        EXPECT_EQ(pageroute::TryRenderer(t.choice, t.softwareOnlyDisplay), t.tried)
            << static_cast<int>(t.choice) << " " << t.softwareOnlyDisplay;
    const struct {
        Choice choice;
        const char* name;
        unsigned flags;
        const char* gl; // GL_RENDERER
        bool kept;
    } renderers[] = {
        {Choice::Automatic, "opengl", SDL_RENDERER_ACCELERATED, "AMD Radeon RX 580", true},
        {Choice::Automatic, "opengles2", SDL_RENDERER_ACCELERATED, nullptr, true},
        {Choice::Automatic, "direct3d", SDL_RENDERER_SOFTWARE, nullptr, false},
        {Choice::Automatic, "software", SDL_RENDERER_ACCELERATED, nullptr, false},
        {Choice::Automatic, "opengl", SDL_RENDERER_ACCELERATED, "llvmpipe (LLVM 15.0.6)", false},
        {Choice::Automatic, "opengl", SDL_RENDERER_ACCELERATED, "zink (llvmpipe (LLVM 15))", false},
        {Choice::Automatic, "opengl", SDL_RENDERER_ACCELERATED, "softpipe", false},
        {Choice::Automatic, "opengl", SDL_RENDERER_ACCELERATED, "Mesa SWRAST", false},
        {Choice::Automatic, "opengl", SDL_RENDERER_ACCELERATED, "Software Rasterizer", false},
        {Choice::Renderer, "software", SDL_RENDERER_SOFTWARE, "llvmpipe", true},
    };
    for (const auto& r : renderers)
        EXPECT_EQ(pageroute::KeepRenderer(r.choice, r.name, r.flags, r.gl), r.kept)
            << r.name << " " << (r.gl ? r.gl : "");
}

TEST(Letterbox, ThePictureKeepsItsShapeCentredOnAnyDisplay) {
    const struct {
        int width, height; // the display's
        SDL_Rect picture;
    } rows[] = {
        {800, 600, {0, 0, 800, 600}},       {1600, 1200, {0, 0, 1600, 1200}},
        {1920, 1080, {240, 0, 1440, 1080}}, {1366, 768, {171, 0, 1024, 768}},
        {1280, 1024, {0, 32, 1280, 960}},   {640, 480, {0, 0, 640, 480}},
        {1002, 1000, {0, 124, 1002, 752}}, // 751.5 rows, rounded
        {1, 1000, {0, 499, 1, 1}},          {0, 600, {0, 0, 0, 0}},
    };
    for (const auto& r : rows) {
        const SDL_Rect got = sdlscale::Letterbox(800, 600, r.width, r.height);
        EXPECT_TRUE(SDL_RectEquals(&got, &r.picture))
            << r.width << "x" << r.height << ": " << got.x << "," << got.y << " " << got.w << "x"
            << got.h;
    }
}

// An 8 x 6 page whose pixels number themselves (y * 16 + x), drawn through a table that keeps
// them, into displays with a border of 0xDEAD where the picture does not go.
TEST(Letterbox, EveryPixelShowsItsNearestSourcePixelAndTheBarsAreLeftAlone) {
    WORD page[6][8];
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            page[y][x] = static_cast<WORD>(y * 16 + x);
    std::vector<Uint32> table(65536);
    std::iota(table.begin(), table.end(), 0u);
    const struct {
        int width, height;
        int x, y;     // a display pixel
        Uint32 shown; // the page's pixel there, or 0xDEAD
    } probes[] = {
        {20, 9, 3, 4, 0xDEAD}, {20, 9, 4, 0, 0x00},    {20, 9, 6, 1, 0x11}, {20, 9, 10, 4, 0x34},
        {20, 9, 15, 8, 0x57},  {20, 9, 16, 8, 0xDEAD}, {8, 6, 0, 0, 0x00},  {8, 6, 7, 5, 0x57},
        {8, 6, 3, 2, 0x23},    {4, 3, 0, 0, 0x11},     {4, 3, 3, 2, 0x57},  {4, 3, 1, 1, 0x33},
    };
    for (const auto& p : probes) {
        const SDL_Rect into = sdlscale::Letterbox(8, 6, p.width, p.height);
        std::vector<Uint32> display(static_cast<size_t>(p.width) * p.height, 0xDEAD);
        sdlscale::DrawPage({reinterpret_cast<BYTE*>(page), 16}, table,
                           sdlscale::SourceIndices(8, into.w), sdlscale::SourceIndices(6, into.h),
                           reinterpret_cast<Uint8*>(display.data()), p.width * 4, into);
        EXPECT_EQ(display[static_cast<size_t>(p.y) * p.width + p.x], p.shown)
            << p.width << "x" << p.height << " at " << p.x << "," << p.y;
    }
}

} // namespace
