// The SDL2 host: the game's window, display, keyboard, clock and message boxes for native play.
#ifndef VANTOREL_PORT_SDL_HOST_H
#define VANTOREL_PORT_SDL_HOST_H

#include "host.h"

struct SDL_Window;

// The host main() installs before WinMain; the present benchmark drives it directly.
const PortHost* SdlHost();

// The game's window while it is open, else null (for the host's tests and the benchmark).
SDL_Window* SdlWindow();

#endif
