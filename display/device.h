// The display device: the exclusive 800 x 600 16-bit mode, its two-page flipping chain and
// the title surface. Process-wide handles, empty until InitDirectDraw.
#ifndef VANTOREL_DISPLAY_DEVICE_H
#define VANTOREL_DISPLAY_DEVICE_H

#include <windows.h>
#include <ddraw.h>

extern LPDIRECTDRAW directDraw; // only during set-up
extern LPDIRECTDRAW4 directDraw4;
extern LPDIRECTDRAWSURFACE4 primarySurface;
extern LPDIRECTDRAWSURFACE4 backBuffer;   // target of all drawing
extern LPDIRECTDRAWSURFACE4 titleSurface; // empty when the title could not be loaded
extern DDSURFACEDESC2 primaryDesc;

// Called once by WinMain: takes the screen and loads the title. False after a reported failure.
bool InitDirectDraw();

// Called by WinMain on every way out after set-up began. Safe in every state, and twice.
void ReleaseDirectDraw();

// Called by GameFrame last: presents the back buffer. Always returns.
void FlipSurfaces();

#endif
