// The one game window: null until WinMain creates it, never changed afterwards.
#ifndef VANTOREL_SHELL_MAIN_WINDOW_H
#define VANTOREL_SHELL_MAIN_WINDOW_H

#include <windows.h>

extern HWND mainWindow;

#endif
