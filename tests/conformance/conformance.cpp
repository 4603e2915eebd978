// The game's own steps, on port/ and on the real platform, each followed by what the game can
// see, one "name | value" line per fact, for the run script to compare.
#include <windows.h>
#include <ddraw.h>
#include <mmsystem.h>

#include "display/device.h"
#include "display/frame.h"
#include "shell/main_window.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#ifndef _WIN32
#include "scripted_host.h"
#endif

namespace {

std::string boxesShown;

// Each side tells of every box as it is answered.
void BoxShown(const std::string& caption, std::string text, bool ownedByGame) {
    std::replace(text.begin(), text.end(), '\n', '/');
    boxesShown += "[" + caption + "] " + text + (ownedByGame ? " (the game's window's)" : "");
}

#ifdef _WIN32
// The run script answers the boxes and does what the program asks of the world outside; a
// hook of this thread reads each box as it closes. A message box's text is its control 0xFFFF,
// still there when its destruction is announced.
LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char caption[256] = "";
    char text[256] = "";
    if (code == HCBT_DESTROYWND && GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) {
        GetWindowTextA(box, caption, sizeof caption);
        BoxShown(caption, text, GetWindow(box, GW_OWNER) == mainWindow);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void StartSide() {
    SetWindowsHookExA(WH_CBT, Watch, nullptr, GetCurrentThreadId());
}
#else
// The scripted host answers every box at once, and plays the world outside (in Ask).
void StartSide() {
    scripted::Install();
    scripted::OnMessageBox([](const scripted::MessageBoxRecord& box) {
        BoxShown(box.caption, box.text, box.owner == mainWindow);
        return IDOK;
    });
}
#endif

std::string Name(HRESULT code) {
    const std::pair<HRESULT, const char*> names[] = {
        {DD_OK, "DD_OK"},
        {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE"},
        {DDERR_SURFACELOST, "DDERR_SURFACELOST"},
        {DDERR_SURFACEBUSY, "DDERR_SURFACEBUSY"},
        {DDERR_WRONGMODE, "DDERR_WRONGMODE"}};
    for (const auto& named : names)
        if (named.first == code)
            return named.second;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    return hex;
}

void Say(const std::string& name, const std::string& value) {
    std::printf("%s | %s\n", name.c_str(), value.c_str());
    std::fflush(stdout);
}

// A line without " | " is no fact but a request of the world outside: "take the display"
// (another program takes it), "give the display back", "close the window" (the user asks the
// game to close). Under Wine the run script does it on reading the line.
void Ask(const std::string& request) {
    std::printf("%s\n", request.c_str());
    std::fflush(stdout);
#ifndef _WIN32
    if (request == "take the display")
        scripted::TakeDisplay();
    if (request == "give the display back")
        scripted::GiveDisplay();
    if (request == "close the window")
        scripted::RequestClose();
#endif
}

std::string Boxes() {
    const std::string all = boxesShown.empty() ? "none" : boxesShown;
    boxesShown.clear();
    return all;
}

struct Spot {
    const char* name;
    int x;
    int y;
};

// Clear of the text (the sides' fonts differ), of where the ball and the paddles go, and of the
// title's last column and row (the stretch rounds differently there).
const Spot spots[] = {
    {"outside", 20, 300}, {"wall-top", 400, 144}, {"title-red", 589, 60}, {"title-blue", 79, 105}};

// What the game can see after a step, the page in front read through a Lock.
void Seen(const std::string& step) {
    Say(step + ".TestCooperativeLevel", Name(directDraw4->TestCooperativeLevel()));
    const std::pair<const char*, LPDIRECTDRAWSURFACE4> surfaces[] = {
        {"primarySurface", primarySurface}, {"titleSurface", titleSurface}};
    for (const auto& [name, surface] : surfaces)
        Say(step + "." + name + ".IsLost", surface ? Name(surface->IsLost()) : "none");
    Say(step + ".boxes", Boxes());
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    const HRESULT locked = primarySurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(locked)) {
        // Wine leaves a lost surface locked after refusing the Lock; the game must not meet that.
        primarySurface->Unlock(nullptr);
        Say(step + ".page", Name(locked));
        return;
    }
    for (const Spot& spot : spots) {
        const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + spot.y * desc.lPitch;
        char pixel[8];
        std::snprintf(pixel, sizeof pixel, "%04X", reinterpret_cast<const WORD*>(row)[spot.x]);
        Say(step + ".page." + spot.name, pixel);
    }
    primarySurface->Unlock(nullptr);
}

bool LevelRefused() {
    return directDraw4->TestCooperativeLevel() != DD_OK;
}

bool AllKept() {
    return primarySurface->IsLost() == DD_OK && (!titleSurface || titleSurface->IsLost() == DD_OK);
}

// One pass of the main loop: at most one message, then a frame unless frames is false.
void Pass(bool frames) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (frames)
        GameFrame();
}

// Passes until settled, for 20 s at most (Sleep moves the scripted clock too), then `more`.
void Run(int more, bool (*settled)() = nullptr, bool frames = true) {
    const DWORD start = timeGetTime();
    for (; settled && !settled() && timeGetTime() - start < 20000; Sleep(1))
        Pass(frames);
    for (; more > 0; --more)
        Pass(true);
}

} // namespace

int main() {
    StartSide();
    // The window as the game makes it; restore_window.exe finds it by its class and caption.
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    RegisterClassExA(&windowClass);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);

    // A box at set-up shows in the frames' boxes, once.
    Say("setup.InitDirectDraw", InitDirectDraw() ? "true" : "false");
    Run(3);
    Seen("frames");

    // Messages only while the display goes and comes back, so that the probes below meet it
    // before a frame of the game's does.
    Ask("take the display");
    Run(3, LevelRefused, false);
    Seen("away");
    // The game's frames stand still now, but the display can go in the middle of one: what
    // these answer then is what the game copes with.
    Say("away.Flip", Name(primarySurface->Flip(nullptr, DDFLIP_WAIT)));
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    Say("away.Blt",
        Name(backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx)));
    HDC dc = nullptr;
    const HRESULT got = backBuffer->GetDC(&dc);
    Say("away.GetDC", Name(got));
    if (SUCCEEDED(got))
        backBuffer->ReleaseDC(dc);

    Ask("give the display back");
    const auto granted = [] { return directDraw4->TestCooperativeLevel() == DD_OK; };
    Run(0, granted, false);
    // The pages come back only in the game's own mode, which the screen has not got yet.
    Say("back.Restore", Name(primarySurface->Restore()));
    Run(1, AllKept);
    Seen("back");

    // Windows gives the screen back in the game's mode with every surface lost; any mode set
    // does the same on both sides.
    Say("mode-again.SetDisplayMode", Name(directDraw4->SetDisplayMode(800, 600, 16, 0, 0)));
    Seen("mode-again");
    Run(1, AllKept);
    Seen("mode-again-frames");

    // A title left locked, as after a refused Unlock: its blit is refused as busy, with a box.
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    Say("title-locked.Lock", Name(titleSurface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)));
    Run(1);
    Say("title-locked.boxes", Boxes());
    titleSurface->Unlock(nullptr);

    // A title the loader refuses on its size, a file of headers alone; then set-up and frames.
    ReleaseDirectDraw();
    BYTE header[54] = {'B', 'M'};
    header[18] = 64; // the width, and below the height, as little-endian LONGs
    header[22] = 32;
    std::ofstream("FinalTitle.bmp", std::ios::binary).write(reinterpret_cast<char*>(header), 54);
    Say("title-64x32.InitDirectDraw", InitDirectDraw() ? "true" : "false");
    Run(3);
    Seen("title-64x32-frames");

    Ask("close the window");
    Run(3, LevelRefused);
    Seen("close");
    ReleaseDirectDraw();
    return 0;
}
