// The windowed display. Nothing here switches a mode: the window's pixels are the desktop's,
// and GDI converts the back buffer's 5-6-5 pixels as it scales them.
#include <windows.h>
#include <ddraw.h>

#include "display/windowed.h"

#include "display/bitmap.h"
#include "display/device.h"
#include "display/surfaces.h"
#include "shell/main_window.h"

#include <algorithm>

namespace {

// The back buffer is the full-screen page's size; the window's client area starts at it.
constexpr int PageWidth = 800;
constexpr int PageHeight = 600;
constexpr DWORD WindowedStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

void Bar(HDC target, int x, int y, int width, int height) {
    if (width > 0 && height > 0)
        PatBlt(target, x, y, width, height, BLACKNESS);
}

} // namespace

bool InitWindowedDirectDraw() {
    // Set first: the title made during the set-up takes the window's pixel format.
    windowed = true;
    if (!OpenDirectDraw4())
        return false;
    if (FAILED(directDraw4->SetCooperativeLevel(mainWindow, DDSCL_NORMAL))) {
        ReportSetupFailure("SetCooperativeLevel Failed");
        return false;
    }
    FrameMainWindow(true);

    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof(desc));
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = PageWidth;
    desc.dwHeight = PageHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    AskForGamePixels(desc);
    if (FAILED(directDraw4->CreateSurface(&desc, &backBuffer, nullptr))) {
        backBuffer = nullptr;
        ReportSetupFailure("CreateSurface Failed");
        return false;
    }
    titleSurface = LoadBitmapSurface(TitleFileName);
    return true;
}

void FrameMainWindow(bool framed) {
    // A window among others is moved and resized with the mouse: its cursor shows, where the
    // full screen hides it. Calls alternate, starting framed, so the counter stays balanced.
    ShowCursor(framed);
    if (!framed) {
        SetWindowLongA(mainWindow, GWL_STYLE, static_cast<LONG>(FullScreenWindowStyle));
        SetWindowPos(mainWindow, nullptr, 0, 0, FullScreenWindowWidth, FullScreenWindowHeight,
                     SWP_NOZORDER | SWP_FRAMECHANGED);
        return;
    }
    RECT frame = {0, 0, PageWidth, PageHeight};
    AdjustWindowRectEx(&frame, WindowedStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowLongA(mainWindow, GWL_STYLE, static_cast<LONG>(WindowedStyle));
    // The exclusive level left the window topmost; a window among others is not.
    SetWindowPos(mainWindow, HWND_NOTOPMOST, std::max(x, 0), std::max(y, 0), width, height,
                 SWP_FRAMECHANGED);
}

RECT FitPicture(int clientWidth, int clientHeight) {
    int width = clientWidth;
    int height = clientHeight;
    if (width * 3 > height * 4)
        width = height * 4 / 3;
    else
        height = width * 3 / 4;
    const int left = (clientWidth - width) / 2;
    const int top = (clientHeight - height) / 2;
    return {left, top, left + width, top + height};
}

void PresentToWindow() {
    RECT client;
    if (!backBuffer || !GetClientRect(mainWindow, &client) || client.right <= 0 ||
        client.bottom <= 0)
        return; // minimised: nothing to show
    // Lost, the back buffer gives no context; the next frame restores it.
    HDC source = nullptr;
    if (FAILED(backBuffer->GetDC(&source)) || !source)
        return;
    if (HDC target = GetDC(mainWindow)) {
        const RECT picture = FitPicture(client.right, client.bottom);
        SetStretchBltMode(target, COLORONCOLOR);
        StretchBlt(target, picture.left, picture.top, picture.right - picture.left,
                   picture.bottom - picture.top, source, 0, 0, PageWidth, PageHeight, SRCCOPY);
        Bar(target, 0, 0, picture.left, client.bottom);
        Bar(target, picture.right, 0, client.right - picture.right, client.bottom);
        Bar(target, picture.left, 0, picture.right - picture.left, picture.top);
        Bar(target, picture.left, picture.bottom, picture.right - picture.left,
            client.bottom - picture.bottom);
        ReleaseDC(mainWindow, target);
    }
    backBuffer->ReleaseDC(source);
}

void AskForGamePixels(DDSURFACEDESC2& desc) {
    if (!windowed)
        return;
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.ddpfPixelFormat.dwRBitMask = 0xF800;
    desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
    desc.ddpfPixelFormat.dwBBitMask = 0x001F;
}
