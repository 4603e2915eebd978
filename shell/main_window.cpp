#include "shell/main_window.h"

HWND mainWindow = nullptr;
