#include <windows.h>
#include <ddraw.h>

#include "display/surfaces.h"

#include "shell/log.h"
#include "shell/main_window.h"

LPDIRECTDRAW directDraw = nullptr;
LPDIRECTDRAW4 directDraw4 = nullptr;
LPDIRECTDRAWSURFACE4 primarySurface = nullptr;
LPDIRECTDRAWSURFACE4 backBuffer = nullptr;
LPDIRECTDRAWSURFACE4 titleSurface = nullptr;
DDSURFACEDESC2 primaryDesc;
bool windowed = false;

void ShowGdiSurface() {
    if (directDraw4 && primarySurface)
        directDraw4->FlipToGDISurface();
}

// Kept on purpose: the set-up's and the title's reports say "ERROR", the frame's "Error".
void ReportSetupFailure(const char* text) {
    ShowGdiSurface();
    ReportFailure(mainWindow, text, "ERROR", MB_ICONERROR, text);
}
