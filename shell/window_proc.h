// The game window's procedure: its destruction becomes the quit message.
#ifndef VANTOREL_SHELL_WINDOW_PROC_H
#define VANTOREL_SHELL_WINDOW_PROC_H

#include <windows.h>

// Called by the platform for every message of the game window.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
