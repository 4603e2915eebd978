// The game's own steps, on port/ and on the real platform, each followed by what the game can
// see, one "name | value" line per fact, for the run script to compare.
#include <windows.h>
#include <ddraw.h>
#include <mmsystem.h>

#include "display/device.h"
#include "display/frame.h"
#include "shell/main_window.h"
#include "side.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>

std::vector<Box> boxesShown;

namespace {

HRESULT Dd(unsigned code) {
    return static_cast<HRESULT>(0x88760000u | code);
}

std::string Name(HRESULT code) {
    const std::pair<HRESULT, const char*> names[] = {{DD_OK, "DD_OK"},
                                                     {Dd(225), "DDERR_NOEXCLUSIVEMODE"},
                                                     {Dd(450), "DDERR_SURFACELOST"},
                                                     {Dd(587), "DDERR_WRONGMODE"}};
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

// A line without " | " is no fact: under Wine the run script acts on it.
void Ask(const char* request) {
    std::printf("%s\n", request);
    std::fflush(stdout);
    Act(request);
}

std::string Boxes() {
    std::string all;
    for (Box box : boxesShown) {
        std::replace(box.text.begin(), box.text.end(), '\n', '/');
        all +=
            "[" + box.caption + "] " + box.text + (box.ownedByGame ? " (the game's window's)" : "");
    }
    boxesShown.clear();
    return all.empty() ? "none" : all;
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
        {"primarySurface", primarySurface},
        {"backBuffer", backBuffer},
        {"titleSurface", titleSurface}};
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

void SetUp(const std::string& step) {
    Say(step + ".InitDirectDraw", InitDirectDraw() ? "true" : "false");
    Say(step + ".titleSurface", titleSurface ? "held" : "none");
    Say(step + ".boxes", Boxes());
}

bool LevelRefused() {
    return directDraw4->TestCooperativeLevel() != DD_OK;
}

bool LevelGranted() {
    return directDraw4->TestCooperativeLevel() == DD_OK;
}

bool AllKept() {
    return primarySurface->IsLost() == DD_OK && backBuffer->IsLost() == DD_OK &&
           (!titleSurface || titleSurface->IsLost() == DD_OK);
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

// A title file of headers alone, which the loader refuses on its size; then set-up and frames.
void SetUpWithTitle(const std::string& step, LONG width, LONG height) {
    ReleaseDirectDraw();
    BYTE header[54] = {'B', 'M'};
    std::memcpy(header + 18, &width, sizeof width);
    std::memcpy(header + 22, &height, sizeof height);
    std::ofstream("FinalTitle.bmp", std::ios::binary).write(reinterpret_cast<char*>(header), 54);
    SetUp(step);
    Run(3);
    Seen(step + "-frames");
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
    ShowCursor(FALSE);

    SetUp("setup");
    Run(3);
    Seen("frames");

    // Messages only while the display goes: under Wine, FlipToGDISurface then answers by which
    // page is in front, and so by the count of flips.
    Ask("take the display");
    Run(3, LevelRefused, false);
    Seen("away");
    // The game's frames stand still now, but the display can go in the middle of one, or
    // before a box: what these answer then is what the game copes with.
    Say("away.Flip", Name(primarySurface->Flip(nullptr, DDFLIP_WAIT)));
    Say("away.FlipToGDISurface", Name(directDraw4->FlipToGDISurface()));
    Say("away.primarySurface.Restore", Name(primarySurface->Restore()));
    Say("away.titleSurface.Restore", Name(titleSurface->Restore()));
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
    Run(0, LevelGranted, false);
    // The pages come back only in the game's own mode, which the screen has not got yet.
    Say("back.Restore", Name(primarySurface->Restore()));
    Run(1, AllKept);
    Seen("back");

    // Any mode set loses every surface, even while the screen stays the game's.
    Say("mode-again.SetDisplayMode", Name(directDraw4->SetDisplayMode(800, 600, 16, 0, 0)));
    Seen("mode-again");
    Run(1, AllKept);
    Seen("mode-again-frames");

    SetUpWithTitle("title-64x32", 64, 32);
    SetUpWithTitle("title-top-down", 700, -120);

    Ask("close the window");
    Run(3, LevelRefused);
    Seen("close");
    ReleaseDirectDraw();
    ShowCursor(TRUE);
    return 0;
}
