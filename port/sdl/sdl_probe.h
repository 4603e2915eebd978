// What SDL and the display say about the screen the game is on, asked as cheaply as each can be.
#ifndef VANTOREL_PORT_SDL_PROBE_H
#define VANTOREL_PORT_SDL_PROBE_H

#include <SDL.h>

namespace sdlprobe {

// Called by the host before it makes a renderer: true when the window's display is sure to draw
// OpenGL in software, which an X server without direct rendering (Xvfb, VNC and remote-desktop
// servers, remote displays) is. Asking the X server costs a few round trips; making an OpenGL
// context to ask it its name would load the rasteriser itself.
bool SoftwareOnlyDisplay(SDL_Window* window);

// Called by the host before it asks for the full screen: true on an X server that has no
// window manager to act on the request.
bool WithoutWindowManager(SDL_Window* window);

// Called by the host with an OpenGL renderer just made, whose context is current: the
// GL_RENDERER string, or null without one.
const char* GlRenderer();

} // namespace sdlprobe

#endif
