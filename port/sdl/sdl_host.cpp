// The SDL2 host. The game's one window is a borderless SDL window; its exclusive 800 x 600 mode
// becomes a full-screen window showing the page scaled to the display with its shape kept.
// Pages go to the screen through a renderer with vsync when a GPU draws it, and otherwise
// through the window's own surface (sdl_page_route.h says why). The game paces its own flips;
// vsync only keeps the picture from tearing.
#include "sdl_host.h"

#include "sdl_pad.h"
#include "sdl_page_route.h"
#include "sdl_present_log.h"
#include "sdl_probe.h"
#include "sdl_scale.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

namespace {

// The window and what the program asked of it.
struct Window {
    SDL_Window* window = nullptr;
    int width = 0;
    int height = 0;
    bool cursorVisible = true;
    bool routeWanted = false; // framed, the way to the screen not chosen yet
};

// Where no window manager runs, nobody reports the focus: the window counts as in front.
struct Focus {
    bool reported = false;
    bool focused = false;
    bool minimised = false;
    bool away = false; // the display is given up while the window is out of sight or focus
};

// The accelerated way to the screen.
struct Renderer {
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
};

// The other way: where in the window's surface the page goes and how, worked out again
// whenever the surface changes.
struct WindowSurface {
    SDL_Surface* surface = nullptr;
    int width = 0;
    int height = 0;
    Uint32 format = 0;
    SDL_Rect picture = {0, 0, 0, 0};
    std::vector<Uint32> table;
    std::vector<int> columns;
    std::vector<int> rows;
};

Window window;
Focus focus;
Renderer renderer;
WindowSurface windowSurface;

// The game's six keys; the keypad's Enter is VK_RETURN too.
bool KeyboardHolds(int vk) {
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    switch (vk) {
    case VK_LEFT:
        return keys[SDL_SCANCODE_LEFT];
    case VK_RIGHT:
        return keys[SDL_SCANCODE_RIGHT];
    case VK_RETURN:
        return keys[SDL_SCANCODE_RETURN] || keys[SDL_SCANCODE_KP_ENTER];
    case VK_ESCAPE:
        return keys[SDL_SCANCODE_ESCAPE];
    case VK_F5:
        return keys[SDL_SCANCODE_F5];
    case VK_MENU:
        return keys[SDL_SCANCODE_LALT] || keys[SDL_SCANCODE_RALT];
    default:
        return false;
    }
}

bool InFront() {
    return !focus.reported || (focus.focused && !focus.minimised);
}

int ShowBox(HWND, const char* text, const char* caption, UINT style) {
    // The game's window is the parent whenever it exists, so that the box stays above the
    // full-screen picture.
    SDL_MessageBoxButtonData ok = {};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = IDOK;
    ok.text = "OK";
    SDL_MessageBoxData box = {};
    box.flags = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    box.window = window.window;
    box.title = caption;
    box.message = text;
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = IDOK;
    if (SDL_ShowMessageBox(&box, &pressed) != 0)
        // No display to show it on: the report still reaches whoever started the game.
        std::fprintf(stderr, "vantorel: %s: %s\n", caption, text);
    return IDOK;
}

void DropRenderer() {
    if (renderer.texture)
        SDL_DestroyTexture(renderer.texture);
    if (renderer.renderer)
        SDL_DestroyRenderer(renderer.renderer);
    renderer = Renderer();
}

void DropPresentation() {
    DropRenderer();
    window.routeWanted = false;
    windowSurface.surface = nullptr;
}

// SDL's video for a display someone can see. With no screen at all SDL falls back on drivers
// that draw nowhere; the game would run unseen and never end. Only someone who asks for one by
// SDL_VIDEODRIVER gets it.
bool StartVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vantorel: no display: %s\n", SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (SDL_GetHint(SDL_HINT_VIDEODRIVER) || !driver ||
        (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0))
        return true;
    std::fprintf(stderr,
                 "vantorel: no display: SDL found only its %s video driver (is DISPLAY or "
                 "WAYLAND_DISPLAY set?)\n",
                 driver);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
}

bool OpenWindow(const char* caption, int width, int height) {
    if (!StartVideo())
        return false;
    window.window =
        SDL_CreateWindow(caption, 0, 0, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    if (!window.window) {
        std::fprintf(stderr, "vantorel: cannot open a window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    window.width = width;
    window.height = height;
    focus = Focus();
    SDL_ShowCursor(window.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    sdlpad::Open();
    presentlog::Open();
    return true;
}

void CloseWindow() {
    if (!window.window)
        return;
    DropPresentation();
    SDL_DestroyWindow(window.window);
    window.window = nullptr;
    sdlpad::Close();
    presentlog::Close();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void ShowHostCursor(bool visible) {
    window.cursorVisible = visible;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// The window's focus and minimising, as the window manager reports them.
void WindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        focus.reported = true;
        focus.focused = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        focus.minimised = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
        focus.minimised = false;
        break;
    default:
        return;
    }
    // Out of sight or focus the game gives up the screen, as on Windows, and so pauses.
    const bool away = !InFront();
    if (away == focus.away)
        return;
    focus.away = away;
    if (away)
        PortTakeDisplay();
    else
        PortGiveDisplay();
}

void PumpEvents() {
    // Closing the last window brings both a window event and SDL_QUIT: one request is enough.
    bool asked = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        bool close = event.type == SDL_QUIT ||
                     (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
        if (close && !asked) {
            asked = true;
            PortCloseRequest();
        }
        if (event.type == SDL_WINDOWEVENT && window.window)
            WindowEvent(event.window);
        // Alt+Enter comes to the game as Windows sends it, a message; its first press only.
        if (event.type == SDL_KEYDOWN && !event.key.repeat && (event.key.keysym.mod & KMOD_ALT) &&
            (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER))
            PortAltEnter();
        sdlpad::Event(event);
    }
}

// SDL's own hint, read from the environment as SDL_RENDER_VSYNC, says whether a renderer waits
// for the refresh against tearing.
bool WantVsync() {
    return SDL_GetHintBoolean(SDL_HINT_RENDER_VSYNC, SDL_TRUE);
}

// Makes the renderer and keeps it if it is worth having; otherwise there is none afterwards.
bool OpenRenderer(pageroute::Choice choice, int width, int height) {
    Uint32 flags = SDL_RENDERER_ACCELERATED | (WantVsync() ? SDL_RENDERER_PRESENTVSYNC : 0);
    renderer.renderer = SDL_CreateRenderer(window.window, -1, flags);
    SDL_RendererInfo info;
    if (!renderer.renderer || SDL_GetRendererInfo(renderer.renderer, &info) != 0) {
        DropRenderer();
        return false;
    }
    const char* gl = SDL_strncmp(info.name, "opengl", 6) == 0 ? sdlprobe::GlRenderer() : nullptr;
    if (!pageroute::KeepRenderer(choice, info.name, info.flags, gl)) {
        DropRenderer();
        return false;
    }
    renderer.texture = SDL_CreateTexture(renderer.renderer, SDL_PIXELFORMAT_RGB565,
                                         SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!renderer.texture || SDL_RenderSetLogicalSize(renderer.renderer, width, height) != 0) {
        DropRenderer();
        return false;
    }
    char how[160];
    SDL_snprintf(how, sizeof how, "renderer %s%s%s%s", info.name, gl ? " (" : "", gl ? gl : "",
                 gl ? ")" : "");
    presentlog::Path(how);
    return true;
}

// The renderer when it is worth having, else the window's surface.
void ChooseRoute(int width, int height) {
    const pageroute::Choice choice = pageroute::UserChoice(
        SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION), SDL_GetHint(SDL_HINT_RENDER_DRIVER));
    if (pageroute::TryRenderer(choice, sdlprobe::SoftwareOnlyDisplay(window.window)) &&
        OpenRenderer(choice, width, height))
        return;
    // Left to itself SDL would put a renderer behind the window's surface too. Set at the
    // lowest priority, the hint still yields to the user's own setting.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    presentlog::Path("window surface");
}

// The window over the whole of its display. Without a window manager nobody acts on the
// full-screen request, so the window first covers the display by itself; SDL would also wait
// 100 ms for an answer that never comes.
bool CoverDisplay() {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window.window), &bounds) == 0) {
        SDL_SetWindowPosition(window.window, bounds.x, bounds.y);
        SDL_SetWindowSize(window.window, bounds.w, bounds.h);
    }
    if (!sdlprobe::WithoutWindowManager(window.window) &&
        SDL_SetWindowFullscreen(window.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        std::fprintf(stderr, "vantorel: cannot take the screen: %s\n", SDL_GetError());
        return false;
    }
    SDL_RaiseWindow(window.window);
    return true;
}

bool SetMode(int width, int height) {
    DropPresentation();
    if (!CoverDisplay())
        return false;
    ChooseRoute(width, height);
    return true;
}

void RestoreMode() {
    DropPresentation();
    if (!window.window)
        return;
    SDL_SetWindowFullscreen(window.window, 0);
    SDL_SetWindowSize(window.window, window.width, window.height);
}

// The game's window among others: framed, resizable and centred, the page scaled into it; or
// borderless again, ready for the full screen.
void FrameWindow(bool framed, int width, int height) {
    if (!window.window)
        return;
    DropPresentation();
    SDL_SetWindowFullscreen(window.window, 0);
    SDL_SetWindowBordered(window.window, static_cast<SDL_bool>(framed));
    SDL_SetWindowResizable(window.window, static_cast<SDL_bool>(framed));
    SDL_SetWindowSize(window.window, width, height);
    if (!framed) {
        SDL_SetWindowPosition(window.window, 0, 0);
        return;
    }
    SDL_SetWindowPosition(window.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    // The way to the screen is chosen for the page, whose size comes with the first one.
    window.routeWanted = true;
}

void PresentToRenderer(const PortRows& page) {
    SDL_UpdateTexture(renderer.texture, nullptr, page.base, page.pitch);
    // Clearing keeps the bars beside the picture black.
    SDL_RenderClear(renderer.renderer);
    SDL_RenderCopy(renderer.renderer, renderer.texture, nullptr, nullptr);
    SDL_RenderPresent(renderer.renderer);
}

// Works out again where and how the page goes when the window's surface has changed, and
// blackens the bars beside the picture.
void FitToSurface(SDL_Surface* surface, int width, int height) {
    WindowSurface& to = windowSurface;
    if (surface == to.surface && surface->w == to.width && surface->h == to.height &&
        surface->format->format == to.format)
        return;
    to.surface = surface;
    to.width = surface->w;
    to.height = surface->h;
    to.format = surface->format->format;
    to.picture = sdlscale::Letterbox(width, height, surface->w, surface->h);
    to.columns = sdlscale::SourceIndices(width, to.picture.w);
    to.rows = sdlscale::SourceIndices(height, to.picture.h);
    if (surface->format->BytesPerPixel == 4)
        to.table = sdlscale::MakeTable(surface->format);
    SDL_FillRect(surface, nullptr, 0);
}

void DrawOnSurface(SDL_Surface* surface, const PortRows& page, int width, int height) {
    const WindowSurface& to = windowSurface;
    if (surface->format->BytesPerPixel == 4) {
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
            return;
        sdlscale::DrawPage(page, to.table, to.columns, to.rows,
                           static_cast<Uint8*>(surface->pixels), surface->pitch, to.picture);
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
        return;
    }
    // Uncommon displays (16 or 24 bits): SDL converts and scales, more slowly.
    SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(page.base, width, height, 16, page.pitch,
                                                           SDL_PIXELFORMAT_RGB565);
    if (!from)
        return;
    SDL_Rect into = to.picture;
    SDL_BlitScaled(from, nullptr, surface, &into);
    SDL_FreeSurface(from);
}

void PresentToSurface(const PortRows& page, int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(window.window);
    if (!surface)
        return;
    FitToSurface(surface, width, height);
    DrawOnSurface(surface, page, width, height);
    SDL_UpdateWindowSurface(window.window);
}

void Present(const PortRows& page, int width, int height) {
    if (window.routeWanted) {
        window.routeWanted = false;
        ChooseRoute(width, height);
    }
    if (renderer.renderer)
        PresentToRenderer(page);
    else
        PresentToSurface(page, width, height);
    presentlog::Presented();
}

const PortHost host = {
    .now = SDL_GetTicks,
    .sleep = SDL_Delay,
    .keyDown = KeyboardHolds,
    .messageBox = ShowBox,
    .openWindow = OpenWindow,
    .closeWindow = CloseWindow,
    .frameWindow = FrameWindow,
    .showCursor = ShowHostCursor,
    .pumpEvents = PumpEvents,
    .setDisplayMode = SetMode,
    .restoreDisplayMode = RestoreMode,
    .present = Present,
    .inFront = InFront,
    .padState = sdlpad::State,
};

} // namespace

const PortHost* SdlHost() {
    return &host;
}

SDL_Window* SdlWindow() {
    return window.window;
}
