// Gamepads for the SDL2 host: SDL's game controllers as XInput's four pads, plugged in or out
// at any time, each keeping its place while it stays.
#ifndef VANTOREL_PORT_SDL_PAD_H
#define VANTOREL_PORT_SDL_PAD_H

#include <windows.h>
#include <xinput.h>

#include <SDL.h>

namespace sdlpad {

// Called when the window opens and closes: starts and stops SDL's game controllers. The pads
// already attached arrive as events.
void Open();
void Close();

// Called with every event the host takes: a pad plugged in takes the first free place, one
// pulled out leaves its place free.
void Event(const SDL_Event& event);

// Called by XInputGetState: whether a pad is in place `user`, and the buttons the game reads
// (the d-pad across, A, Y, Start, Back) and its left stick across.
bool State(DWORD user, XINPUT_GAMEPAD& pad);

} // namespace sdlpad

#endif
