// The display device: takes the screen in the exclusive 800 x 600 16-bit mode, builds the
// two-page flipping chain, loads the title, presents each frame and gives it all back.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"

#include "display/bitmap.h"
#include "display/pacing.h"
#include "display/surfaces.h"
#include "shell/main_window.h"

namespace {

constexpr DWORD ModeWidth = 800;
constexpr DWORD ModeHeight = 600;
// Kept on purpose: the 16-bit mode's pixels are taken to be 5-6-5 without asking the driver.
constexpr DWORD ModeBitsPerPixel = 16;

// A failed flip is tried again at most this often within one frame. With DDFLIP_WAIT every
// attempt may wait for the display, so the bound is kept small. A failure that does not clear
// (the window is gone) must not keep the frame, and so the message loop, waiting for ever; the
// next frame tries again.
constexpr int FlipAttempts = 3;

bool Lost(LPDIRECTDRAWSURFACE4 surface) {
    return surface && surface->IsLost() != DD_OK;
}

// Windows gives the game its mode back with the screen; Wine leaves the desktop's mode on it,
// and restoring then answers DDERR_WRONGMODE until the game sets its own mode again.
bool RestorePages() {
    HRESULT result = primarySurface->Restore();
    if (result == DDERR_WRONGMODE &&
        SUCCEEDED(directDraw4->SetDisplayMode(ModeWidth, ModeHeight, ModeBitsPerPixel, 0, 0)))
        result = primarySurface->Restore();
    return SUCCEEDED(result);
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

    if (FAILED(directDraw4->SetDisplayMode(ModeWidth, ModeHeight, ModeBitsPerPixel, 0, 0))) {
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
    PaceFrame();
    for (int attempt = 0; attempt < FlipAttempts; ++attempt) {
        const HRESULT result = primarySurface->Flip(nullptr, DDFLIP_WAIT);
        // Lost pages can't be shown however often the flip is tried; the next frame brings
        // them back and draws everything again.
        if (SUCCEEDED(result) || result == DDERR_SURFACELOST)
            return;
    }
    // Given up for this frame, silently: the loop takes its next message and the next frame
    // flips again.
}

bool RestoreLostSurfaces() {
    const bool pagesLost = Lost(primarySurface);
    const bool titleLost = Lost(titleSurface);
    if (!pagesLost && !titleLost)
        return true;
    // Never while another program holds the screen: the test of the cooperative level fails
    // until the game may have it back.
    if (FAILED(directDraw4->TestCooperativeLevel()))
        return false;
    if (pagesLost && !RestorePages())
        return false;
    if (!titleLost)
        return true;
    if (FAILED(titleSurface->Restore()))
        return false;
    // What the title held went with its memory. A file gone since start-up leaves it black.
    ReloadBitmapSurface(titleSurface, TitleFileName);
    return true;
}
