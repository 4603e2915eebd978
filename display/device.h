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

// Called by GameFrame before it draws: whether the chain can be drawn and shown. A lost chain
// is restored here, with the title, as soon as the game may have the screen again.
bool DisplayReady();

// Called when a drawing step finds the surfaces lost: brings them back, with the title, unless
// another program holds the screen. True when they are back.
bool RestoreDisplay();

// Called by every report of the display, the title and the frame before its box: while the
// game holds the screen, the box must go on the page GDI draws on, which flipping may hide.
void ShowGdiSurface();

#endif
