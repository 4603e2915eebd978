#include "sdl_probe.h"

#include <SDL_syswm.h>

#include <initializer_list>

namespace sdlprobe {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// The Xlib call asked here. SDL has Xlib loaded already; looking it up keeps the
// program free of a link to it, and off X11 it is never looked for.
struct Xlib {
    void* library = nullptr;
    Display* display = nullptr;
    decltype(&XQueryExtension) queryExtension = nullptr;

    explicit Xlib(SDL_Window* window) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
            return;
        library = SDL_LoadObject("libX11.so.6");
        if (!library)
            return;
        queryExtension = reinterpret_cast<decltype(queryExtension)>(
            SDL_LoadFunction(library, "XQueryExtension"));
        if (queryExtension)
            display = info.info.x11.display;
    }
    ~Xlib() {
        if (library)
            SDL_UnloadObject(library);
    }
    Xlib(const Xlib&) = delete;
    Xlib& operator=(const Xlib&) = delete;
};

} // namespace

bool SoftwareOnlyDisplay(SDL_Window* window) {
    const Xlib x(window);
    if (!x.display)
        return false; // not X11, or not sure: the renderer is made and asked
    // Mesa draws through the GPU only by DRI2 or DRI3; NVIDIA's driver by its own GLX.
    int opcode, event, error;
    for (const char* name : {"DRI3", "DRI2", "NV-GLX"})
        if (x.queryExtension(x.display, name, &opcode, &event, &error))
            return false;
    return true;
}

#else

bool SoftwareOnlyDisplay(SDL_Window*) {
    return false;
}

#endif

const char* GlRenderer() {
    constexpr unsigned GlRendererName = 0x1F01; // GL_RENDERER
    if (!SDL_GL_GetCurrentContext())
        return nullptr;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    return getString ? reinterpret_cast<const char*>(getString(GlRendererName)) : nullptr;
}

} // namespace sdlprobe
