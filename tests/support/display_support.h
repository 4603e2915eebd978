// Helpers shared by the display and frame tests.
#ifndef VANTOREL_TESTS_DISPLAY_SUPPORT_H
#define VANTOREL_TESTS_DISPLAY_SUPPORT_H

#include <windows.h>
#include <ddraw.h>

#include <string>
#include <vector>

// A title file as the game reads it: the 54 header bytes for this size (bfOffBits as given),
// then `pixels` as they stand, blue-green-red, bottom row first.
std::string BitmapFile(LONG width, LONG height, const std::string& pixels, DWORD pixelOffset = 54);

// A 24-bit file of this size whose every pixel is `colour` (a 5-6-5 value written so that it
// loads back exactly).
std::string FlatBitmapFile(LONG width, LONG height, WORD colour);

void WriteFile(const std::string& path, const std::string& bytes);

// A surface's pixels without the pitch padding, [y * width + x]; none when it can't be locked.
std::vector<WORD> SurfacePixels(LPDIRECTDRAWSURFACE4 surface);

// Registers the game's window class, creates mainWindow and sets the display up, as WinMain
// does. False when any of it failed.
bool StartDisplay();

#endif
