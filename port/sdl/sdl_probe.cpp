#include "sdl_probe.h"

#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

#include <initializer_list>

namespace sdlprobe {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// The few Xlib calls asked here. SDL has Xlib loaded already; looking them up keeps the
// program free of a link to it, and off X11 they are never looked for.
struct Xlib {
    void* library = nullptr;
    Display* display = nullptr;
    decltype(&XQueryExtension) queryExtension = nullptr;
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XGetWindowProperty) getWindowProperty = nullptr;
    decltype(&XFree) free = nullptr;

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
        internAtom =
            reinterpret_cast<decltype(internAtom)>(SDL_LoadFunction(library, "XInternAtom"));
        getWindowProperty = reinterpret_cast<decltype(getWindowProperty)>(
            SDL_LoadFunction(library, "XGetWindowProperty"));
        free = reinterpret_cast<decltype(free)>(SDL_LoadFunction(library, "XFree"));
        if (queryExtension && internAtom && getWindowProperty && free)
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

bool WithoutWindowManager(SDL_Window* window) {
    const Xlib x(window);
    if (!x.display)
        return false;
    // A window manager that follows the desktop conventions names its own window on the root.
    const Atom check = x.internAtom(x.display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const int status = x.getWindowProperty(x.display, DefaultRootWindow(x.display), check, 0, 1,
                                           False, XA_WINDOW, &type, &format, &count, &left, &data);
    if (data)
        x.free(data);
    return status == Success && count == 0;
}

#else

bool SoftwareOnlyDisplay(SDL_Window*) {
    return false;
}

bool WithoutWindowManager(SDL_Window*) {
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
