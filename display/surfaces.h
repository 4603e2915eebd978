// The display's process-wide handles, empty until InitDirectDraw, and the report every failure
// of the display, the title and the frame goes through.
#ifndef VANTOREL_DISPLAY_SURFACES_H
#define VANTOREL_DISPLAY_SURFACES_H

#include <windows.h>
#include <ddraw.h>

extern LPDIRECTDRAW directDraw; // only during set-up
extern LPDIRECTDRAW4 directDraw4;
extern LPDIRECTDRAWSURFACE4 primarySurface;
extern LPDIRECTDRAWSURFACE4 backBuffer;   // target of all drawing
extern LPDIRECTDRAWSURFACE4 titleSurface; // empty when the title could not be loaded
extern DDSURFACEDESC2 primaryDesc;
// In a window: no primary, and backBuffer an off-screen surface that GDI copies to the window.
extern bool windowed;

// Called before every box of the display: while the game holds the screen the box must go on
// the page GDI draws on, which flipping may hide.
void ShowGdiSurface();

// Called by the set-up and the title loader for each failed step: on the GDI page, a box
// owned by the game's window, captioned "ERROR", then the same text in the log.
void ReportSetupFailure(const char* text);

#endif
