// The SDL2 host. The game's one window is a borderless SDL window; its exclusive 800 x 600 mode
// becomes a full-screen window showing the page scaled to the display with its shape kept.
// Pages go to the screen through a renderer with vsync when a GPU draws it, and otherwise
// through the window's own surface, paced to the display's refresh (sdl_path.h says why).
#include "sdl_host.h"

#include "host_calls.h"
#include "sdl_pad.h"
#include "sdl_path.h"
#include "sdl_present_log.h"
#include "sdl_probe.h"
#include "sdl_scale.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct State {
    SDL_Window* window = nullptr;
    int windowWidth = 0;
    int windowHeight = 0;
    bool cursorVisible = true;
    // Where no window manager runs, nobody reports the focus: the window counts as in front.
    bool focusReported = false;
    bool focused = false;
    bool minimised = false;
    bool away = false; // the display is given up while the window is out of sight or focus

    // The accelerated path.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;

    // The window-surface path: where the page goes and how, worked out again whenever the
    // window's surface changes.
    SDL_Surface* surface = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    Uint32 surfaceFormat = 0;
    SDL_Rect picture = {0, 0, 0, 0};
    std::vector<Uint32> table;
    std::vector<int> columns;
    std::vector<int> rows;

    // Pacing when nothing waits for the display's refresh: the time before which
    // the next page is not shown.
    bool pace = false;
    std::chrono::steady_clock::duration period{};
    std::chrono::steady_clock::time_point nextPresent{};
};

State state;

DWORD Now() {
    return SDL_GetTicks();
}

void SleepFor(DWORD ms) {
    SDL_Delay(ms);
}

// The game's five keys; the keypad's Enter is VK_RETURN too.
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
    default:
        return false;
    }
}

bool InFront() {
    return !state.focusReported || (state.focused && !state.minimised);
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
    box.window = state.window;
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
    if (state.texture)
        SDL_DestroyTexture(state.texture);
    if (state.renderer)
        SDL_DestroyRenderer(state.renderer);
    state.texture = nullptr;
    state.renderer = nullptr;
}

void DropPresentation() {
    DropRenderer();
    state.surface = nullptr;
    state.pace = false;
}

bool OpenWindow(const char* caption, int width, int height) {
    if (state.window)
        return false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vantorel: no display: %s\n", SDL_GetError());
        return false;
    }
    // With no screen at all SDL falls back on drivers that draw nowhere; the game would run
    // unseen and never end. Only someone who asks for one by SDL_VIDEODRIVER gets it.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!SDL_GetHint(SDL_HINT_VIDEODRIVER) && driver &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        std::fprintf(stderr,
                     "vantorel: no display: SDL found only its %s video driver (is DISPLAY or "
                     "WAYLAND_DISPLAY set?)\n",
                     driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    state.window =
        SDL_CreateWindow(caption, 0, 0, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    if (!state.window) {
        std::fprintf(stderr, "vantorel: cannot open a window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    state.windowWidth = width;
    state.windowHeight = height;
    state.focusReported = state.focused = state.minimised = state.away = false;
    SDL_ShowCursor(state.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    sdlpad::Open();
    presentlog::Open();
    return true;
}

void CloseWindow() {
    if (!state.window)
        return;
    DropPresentation();
    SDL_DestroyWindow(state.window);
    state.window = nullptr;
    sdlpad::Close();
    presentlog::Close();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void ShowHostCursor(bool visible) {
    state.cursorVisible = visible;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// The window's focus and minimising, as the window manager reports them.
void WindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        state.focusReported = true;
        state.focused = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        state.minimised = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
        state.minimised = false;
        break;
    default:
        return;
    }
    // Out of sight or focus the game gives up the screen, as on Windows, and so pauses.
    const bool away = !InFront();
    if (away == state.away)
        return;
    state.away = away;
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
        if (event.type == SDL_WINDOWEVENT && state.window)
            WindowEvent(event.window);
        sdlpad::Event(event);
    }
}

// SDL's own hint, read from the environment as SDL_RENDER_VSYNC, says whether to wait for the
// refresh.
bool WantVsync() {
    return SDL_GetHintBoolean(SDL_HINT_RENDER_VSYNC, SDL_TRUE);
}

// Makes the renderer and keeps it if it is worth having; otherwise there is none afterwards.
bool OpenRenderer(sdlpath::Choice choice, int width, int height) {
    Uint32 flags = SDL_RENDERER_ACCELERATED | (WantVsync() ? SDL_RENDERER_PRESENTVSYNC : 0);
    state.renderer = SDL_CreateRenderer(state.window, -1, flags);
    SDL_RendererInfo info;
    if (!state.renderer || SDL_GetRendererInfo(state.renderer, &info) != 0) {
        DropRenderer();
        return false;
    }
    const char* gl = SDL_strncmp(info.name, "opengl", 6) == 0 ? sdlprobe::GlRenderer() : nullptr;
    if (!sdlpath::KeepRenderer(choice, info.name, info.flags, gl)) {
        DropRenderer();
        return false;
    }
    state.texture = SDL_CreateTexture(state.renderer, SDL_PIXELFORMAT_RGB565,
                                      SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!state.texture || SDL_RenderSetLogicalSize(state.renderer, width, height) != 0) {
        DropRenderer();
        return false;
    }
    state.pace = WantVsync() && !(info.flags & SDL_RENDERER_PRESENTVSYNC);
    char how[160];
    SDL_snprintf(how, sizeof how, "renderer %s%s%s%s", info.name, gl ? " (" : "", gl ? gl : "",
                 gl ? ")" : "");
    presentlog::Path(how);
    return true;
}

// The renderer when it is worth having, else the window's surface with the host's pacing.
void ChoosePath(int width, int height) {
    const sdlpath::Choice choice = sdlpath::UserChoice(
        SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION), SDL_GetHint(SDL_HINT_RENDER_DRIVER));
    if (sdlpath::TryRenderer(choice, sdlprobe::SoftwareOnlyDisplay(state.window)) &&
        OpenRenderer(choice, width, height))
        return;
    // Left to itself SDL would put a renderer behind the window's surface too. Set at the
    // lowest priority, the hint still yields to the user's own setting.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    state.pace = WantVsync();
    presentlog::Path("window surface");
}

bool SetMode(int width, int height, int bitsPerPixel) {
    if (!state.window || bitsPerPixel != 16 || width <= 0 || height <= 0)
        return false;
    DropPresentation();
    // Without a window manager nobody acts on the full-screen request, so the window first
    // covers the display by itself; SDL would also wait 100 ms for an answer that never comes.
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(state.window), &bounds) == 0) {
        SDL_SetWindowPosition(state.window, bounds.x, bounds.y);
        SDL_SetWindowSize(state.window, bounds.w, bounds.h);
    }
    if (!sdlprobe::WithoutWindowManager(state.window) &&
        SDL_SetWindowFullscreen(state.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        std::fprintf(stderr, "vantorel: cannot take the screen: %s\n", SDL_GetError());
        return false;
    }
    SDL_RaiseWindow(state.window);
    ChoosePath(width, height);

    SDL_DisplayMode display;
    int rate = 0;
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(state.window), &display) == 0)
        rate = display.refresh_rate;
    state.period =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(1)) /
        (rate > 0 ? rate : 60);
    state.nextPresent = {};
    return true;
}

void RestoreMode() {
    DropPresentation();
    if (!state.window)
        return;
    SDL_SetWindowFullscreen(state.window, 0);
    SDL_SetWindowSize(state.window, state.windowWidth, state.windowHeight);
}

void PresentToRenderer(const WORD* pixels, LONG pitch) {
    SDL_UpdateTexture(state.texture, nullptr, pixels, pitch);
    // Clearing keeps the bars beside the picture black.
    SDL_RenderClear(state.renderer);
    SDL_RenderCopy(state.renderer, state.texture, nullptr, nullptr);
    SDL_RenderPresent(state.renderer);
}

void PresentToSurface(const WORD* pixels, LONG pitch, int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(state.window);
    if (!surface)
        return;
    if (surface != state.surface || surface->w != state.surfaceWidth ||
        surface->h != state.surfaceHeight || surface->format->format != state.surfaceFormat) {
        state.surface = surface;
        state.surfaceWidth = surface->w;
        state.surfaceHeight = surface->h;
        state.surfaceFormat = surface->format->format;
        state.picture = sdlscale::Letterbox(width, height, surface->w, surface->h);
        state.columns = sdlscale::SourceIndices(width, state.picture.w);
        state.rows = sdlscale::SourceIndices(height, state.picture.h);
        if (surface->format->BytesPerPixel == 4)
            state.table = sdlscale::MakeTable(surface->format);
        SDL_FillRect(surface, nullptr, 0);
    }
    if (surface->format->BytesPerPixel == 4) {
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
            return;
        sdlscale::DrawPage(pixels, pitch, state.table, state.columns, state.rows,
                           static_cast<Uint8*>(surface->pixels), surface->pitch, state.picture);
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
    } else {
        // Uncommon displays (16 or 24 bits): SDL converts and scales, more slowly.
        SDL_Surface* page = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<WORD*>(pixels), width, height, 16, pitch, SDL_PIXELFORMAT_RGB565);
        if (!page)
            return;
        SDL_BlitScaled(page, nullptr, surface, &state.picture);
        SDL_FreeSurface(page);
    }
    SDL_UpdateWindowSurface(state.window);
}

// Waits until a refresh interval since the last page has passed, sleeping rather than
// spinning, and keeps the rhythm without catching up on frames that came late. The sleep ends
// at the deadline itself, not at a whole millisecond near it, or intervals would wander by one.
void Pace() {
    const auto now = std::chrono::steady_clock::now();
    if (state.nextPresent > now) {
        std::this_thread::sleep_until(state.nextPresent);
        state.nextPresent += state.period;
    } else {
        state.nextPresent = now + state.period;
    }
}

void Present(const WORD* pixels, LONG pitch, int width, int height) {
    if (state.renderer)
        PresentToRenderer(pixels, pitch);
    else
        PresentToSurface(pixels, pitch, width, height);
    presentlog::Presented();
    // Waiting after the page is shown, as a flip waits for the refresh, lets the next frame
    // read the keys as late as possible.
    if (state.pace)
        Pace();
}

PortHost MakeHost() {
    PortHost h;
    h.now = Now;
    h.sleep = SleepFor;
    h.keyDown = KeyboardHolds;
    h.messageBox = ShowBox;
    h.openWindow = OpenWindow;
    h.closeWindow = CloseWindow;
    h.showCursor = ShowHostCursor;
    h.pumpEvents = PumpEvents;
    h.setDisplayMode = SetMode;
    h.restoreDisplayMode = RestoreMode;
    h.present = Present;
    h.inFront = InFront;
    h.padState = sdlpad::State;
    return h;
}

const PortHost host = MakeHost();

} // namespace

const PortHost* SdlHost() {
    return &host;
}

SDL_Window* SdlWindow() {
    return state.window;
}
