// Gamepads for the SDL2 host: any number, plugged in or out at any time, each adding its
// controls to the keys the game polls.
#ifndef VANTOREL_PORT_SDL_PAD_H
#define VANTOREL_PORT_SDL_PAD_H

#include <SDL.h>

namespace sdlpad {

// Called when the window opens and closes: starts and stops SDL's game controllers. The pads
// already attached arrive as events.
void Open();
void Close();

// Called with every event the host takes: a pad plugged in is opened, one pulled out closed.
void Event(const SDL_Event& event);

// Called by GetAsyncKeyState: whether any pad holds this virtual key. Left and Right are the
// d-pad or the left stick past half its travel; Enter is A (the bottom face button) or Start;
// F5 is Y (the top face button); Escape is Back.
bool Held(int vk);

} // namespace sdlpad

#endif
