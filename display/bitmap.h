// The title bitmap: a 24-bit bottom-up file turned into a 5-6-5 off-screen surface.
#ifndef VANTOREL_DISPLAY_BITMAP_H
#define VANTOREL_DISPLAY_BITMAP_H

#include <windows.h>
#include <ddraw.h>

constexpr const char* TitleFileName = "FinalTitle.bmp";

// Called by InitDirectDraw: a new surface holding the image, or null after a reported failure.
LPDIRECTDRAWSURFACE4 LoadBitmapSurface(const char* fileName);

// Called by RestoreLostSurfaces once the title is restored: reads the file's pixels again into
// a surface it made.
// Reports nothing; false when the pixels could not be put back.
bool ReloadBitmapSurface(LPDIRECTDRAWSURFACE4 surface, const char* fileName);

#endif
