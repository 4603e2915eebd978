// The way the SDL2 host's pages reach the screen. A renderer with vsync keeps the picture from
// tearing for almost nothing when a GPU does the work; when the renderer is a rasteriser running
// on the processor, it costs several times what the window's own surface does, so the host
// takes the surface. The rules are apart from the host's SDL calls,
// so that its tests can hold them.
#ifndef VANTOREL_PORT_SDL_PAGE_ROUTE_H
#define VANTOREL_PORT_SDL_PAGE_ROUTE_H

namespace pageroute {

// What the user asked for through SDL's own hints.
enum class Choice { Automatic, Renderer, WindowSurface };

// Called by the host with SDL_FRAMEBUFFER_ACCELERATION and SDL_RENDER_DRIVER as SDL reports
// them (null when unset). Turning acceleration off asks for the window surface; turning it on,
// or naming a render driver, asks for the renderer.
Choice UserChoice(const char* framebufferAcceleration, const char* renderDriver);

// Called by the host before it makes a renderer: whether to make one at all. A display that can
// only draw OpenGL in software (`softwareOnly`) is not worth the rasteriser's start-up and
// memory unless the user asked for it.
bool TryRenderer(Choice choice, bool softwareOnly);

// Called by the host once a renderer is made: whether to keep it. One that draws on the
// processor, by SDL's name and flags for it or, for OpenGL, its GL_RENDERER string (null when
// there is none), goes unless the user asked for the renderer.
bool KeepRenderer(Choice choice, const char* name, unsigned flags, const char* glRenderer);

} // namespace pageroute

#endif
