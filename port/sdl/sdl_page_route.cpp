#include "sdl_page_route.h"

#include <SDL.h>

#include <initializer_list>

namespace pageroute {

Choice UserChoice(const char* framebufferAcceleration, const char* renderDriver) {
    const char* hint = framebufferAcceleration;
    if (hint && *hint) {
        // SDL's own reading of the hint: these three turn acceleration off, anything else on.
        if (SDL_strcmp(hint, "0") == 0 || SDL_strcasecmp(hint, "false") == 0 ||
            SDL_strcasecmp(hint, "software") == 0)
            return Choice::WindowSurface;
        return Choice::Renderer;
    }
    if (renderDriver && *renderDriver)
        return Choice::Renderer;
    return Choice::Automatic;
}

bool TryRenderer(Choice choice, bool softwareOnly) {
    switch (choice) {
    case Choice::Renderer:
        return true;
    case Choice::WindowSurface:
        return false;
    case Choice::Automatic:
        break;
    }
    return !softwareOnly;
}

bool KeepRenderer(Choice choice, const char* name, unsigned flags, const char* glRenderer) {
    if (choice == Choice::Renderer)
        return true;
    if ((flags & SDL_RENDERER_SOFTWARE) || (name && SDL_strcmp(name, "software") == 0))
        return false;
    if (!glRenderer)
        return true;
    // Mesa's rasterisers, by the names they give; "zink (llvmpipe ...)" is one of them too.
    for (const char* rasteriser : {"llvmpipe", "softpipe", "swrast", "software rasterizer"}) {
        const size_t length = SDL_strlen(rasteriser);
        for (const char* at = glRenderer; *at; ++at)
            if (SDL_strncasecmp(at, rasteriser, length) == 0)
                return false;
    }
    return true;
}

} // namespace pageroute
