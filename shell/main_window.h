// The one game window: null until WinMain creates it, never changed afterwards.
#ifndef VANTOREL_SHELL_MAIN_WINDOW_H
#define VANTOREL_SHELL_MAIN_WINDOW_H

#include <windows.h>

extern HWND mainWindow;

// The window for the full screen, as WinMain makes it and the display puts it back. Kept on
// purpose: 1024 x 768, not the display mode's 800 x 600. It is never drawn into; the display
// covers the screen whatever its size.
constexpr DWORD FullScreenWindowStyle = WS_POPUP | WS_VISIBLE;
constexpr int FullScreenWindowWidth = 1024;
constexpr int FullScreenWindowHeight = 768;

#endif
