// The display device: the exclusive 800 x 600 16-bit mode, its two-page flipping chain and
// the title surface, held in the handles of display/surfaces.h; or a window (windowed.h).
#ifndef VANTOREL_DISPLAY_DEVICE_H
#define VANTOREL_DISPLAY_DEVICE_H

#include <windows.h>
#include <ddraw.h>

#include "display/surfaces.h"

// Called by both set-ups first: directDraw4, the first interface given back. False after a
// reported failure.
bool OpenDirectDraw4();

// Called by WinMain and SwitchDisplay: takes the screen and loads the title, or, where the mode
// can't be set, plays in a window. False after a reported failure.
bool InitDirectDraw();

// Called by WinMain on every way out after set-up began. Safe in every state, and twice.
void ReleaseDirectDraw();

// Called by GameFrame last: presents the back buffer, no sooner than 1/60 s after the last.
// Always returns; a page found lost is left to the next frame's RestoreLostSurfaces.
void FlipSurfaces();

// Called by GameFrame before it draws: brings back every surface that is lost (the pages, the
// title with its pixels read again) once the game may have the screen. True when all of them
// can be drawn on; false while another program holds the screen.
bool RestoreLostSurfaces();

// Called by WinMain after Alt+Enter, between frames: releases the display and sets it up again
// in a window or on the full screen, whichever it was not, the window again when the full
// screen is out of reach. False after a reported failure, with nothing left to draw on.
bool SwitchDisplay();

#endif
