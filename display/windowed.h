// Play in a window: DirectDraw at the normal level, an off-screen 5-6-5 back buffer, and each
// frame copied by GDI into the window's client area, scaled with its 4:3 shape kept.
#ifndef VANTOREL_DISPLAY_WINDOWED_H
#define VANTOREL_DISPLAY_WINDOWED_H

#include <windows.h>
#include <ddraw.h>

// Called by WinMain for --window, by InitDirectDraw when the mode can't be had, and by
// SwitchDisplay: frames mainWindow and sets the display up in it. False after a reported failure.
bool InitWindowedDirectDraw();

// Called when entering a window (framed) or the full screen (not): a normal, resizable frame
// around an 800 x 600 client area, centred on the screen, the cursor shown; or the full-screen
// window again, the cursor hidden.
void FrameMainWindow(bool framed);

// Called by FlipSurfaces while windowed: the back buffer scaled into the window, bars black.
void PresentToWindow();

// Called by PresentToWindow: the largest 4:3 rectangle centred in a client area of this size.
RECT FitPicture(int clientWidth, int clientHeight);

// Called before making an off-screen surface: in a window the desktop's pixels are usually
// 32-bit, so the 5-6-5 pixels the game writes are asked for by name.
void AskForGamePixels(DDSURFACEDESC2& desc);

#endif
