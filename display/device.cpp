// The display device: takes the screen in the exclusive 800 x 600 16-bit mode, builds the
// two-page flipping chain, loads the title, presents each frame and gives it all back.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"

#include "display/bitmap.h"
#include "shell/log.h"
#include "shell/main_window.h"

LPDIRECTDRAW directDraw = nullptr;
LPDIRECTDRAW4 directDraw4 = nullptr;
LPDIRECTDRAWSURFACE4 primarySurface = nullptr;
LPDIRECTDRAWSURFACE4 backBuffer = nullptr;
LPDIRECTDRAWSURFACE4 titleSurface = nullptr;
DDSURFACEDESC2 primaryDesc;

namespace {

// A failed flip is tried again at most this often within one frame. With DDFLIP_WAIT every
// attempt may wait for the display, so the bound is kept small: a lost chain needs one attempt
// to find out, one after the restore, and one more covers a failure that clears by itself.
// A surface that stays lost (the window is gone, another program holds the screen) must not
// keep the frame, and so the message loop, waiting for ever; the next frame tries again.
constexpr int FlipAttempts = 3;

void ReportSetupFailure(const char* text) {
    ReportFailure(mainWindow, text, "ERROR", MB_ICONERROR, text);
}

// After the display was taken away: the chain (the back buffer comes back with the primary)
// and the title come back empty, so the title's pixels are read from its file again. While
// the screen can't be had the title is left alone. Nothing is reported; the flip tells.
void RestoreSurfaces() {
    if (FAILED(primarySurface->Restore()))
        return;
    if (titleSurface && SUCCEEDED(titleSurface->Restore()))
        ReloadBitmapSurface(titleSurface, TitleFileName);
}

} // namespace

bool InitDirectDraw() {
    if (FAILED(DirectDrawCreate(nullptr, &directDraw, nullptr))) {
        directDraw = nullptr; // nothing was made, whatever the call left behind
        ReportSetupFailure("DirectDrawCreate Failed");
        return false;
    }

    if (FAILED(directDraw->QueryInterface(IID_IDirectDraw4,
                                          reinterpret_cast<LPVOID*>(&directDraw4)))) {
        directDraw4 = nullptr;
        ReportSetupFailure("QueryInterface Failed");
        directDraw->Release();
        directDraw = nullptr;
        return false;
    }
    // The first interface was only the way to the fourth.
    directDraw->Release();
    directDraw = nullptr;

    if (FAILED(directDraw4->SetCooperativeLevel(mainWindow, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                                DDSCL_EXCLUSIVE))) {
        ReportSetupFailure("SetCooperativeLevel Failed");
        return false;
    }

    if (FAILED(directDraw4->SetDisplayMode(800, 600, 16, 0, 0))) {
        ReportSetupFailure("SetDisplayMode Failed");
        return false;
    }

    // No size or pixel format: the primary takes the display mode's.
    ZeroMemory(&primaryDesc, sizeof(primaryDesc));
    primaryDesc.dwSize = sizeof(DDSURFACEDESC2);
    primaryDesc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    primaryDesc.dwBackBufferCount = 1;
    primaryDesc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (FAILED(directDraw4->CreateSurface(&primaryDesc, &primarySurface, nullptr))) {
        primarySurface = nullptr;
        ReportSetupFailure("CreateSurface Failed");
        return false;
    }

    primaryDesc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
    if (FAILED(primarySurface->GetAttachedSurface(&primaryDesc.ddsCaps, &backBuffer))) {
        backBuffer = nullptr;
        ReportSetupFailure("GetAttachedSurface Failed");
        return false;
    }

    // The game runs without its title: a failed load has reported itself and left null here.
    titleSurface = LoadBitmapSurface(TitleFileName);
    return true;
}

void ReleaseDirectDraw() {
    if (backBuffer) {
        backBuffer->Release();
        backBuffer = nullptr;
    }
    if (primarySurface) {
        primarySurface->Release();
        primarySurface = nullptr;
    }
    // The title surface was made by directDraw4, so it goes first.
    if (titleSurface) {
        titleSurface->Release();
        titleSurface = nullptr;
    }
    if (directDraw4) {
        directDraw4->Release();
        directDraw4 = nullptr;
    }
}

void FlipSurfaces() {
    if (!primarySurface)
        return;
    for (int attempt = 0; attempt < FlipAttempts; ++attempt) {
        const HRESULT result = primarySurface->Flip(nullptr, DDFLIP_WAIT);
        if (SUCCEEDED(result))
            return;
        if (result == DDERR_SURFACELOST)
            RestoreSurfaces();
    }
    // Given up for this frame, silently: the loop takes its next message and the next frame
    // flips again.
}
