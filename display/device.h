// The display device: the exclusive 800 x 600 16-bit mode, its two-page flipping chain and
// the title surface, held in the handles of display/surfaces.h.
#ifndef VANTOREL_DISPLAY_DEVICE_H
#define VANTOREL_DISPLAY_DEVICE_H

#include <windows.h>
#include <ddraw.h>

#include "display/surfaces.h"

// Called once by WinMain: takes the screen and loads the title. False after a reported failure.
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

#endif
