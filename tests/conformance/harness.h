// The conformance program's frame: one line per case, results by name, the stage every group
// draws on, and pixels read and written through Lock. The same source is built against the
// real platform and against port/, so it uses only the names the game uses.
#ifndef VANTOREL_CONFORMANCE_HARNESS_H
#define VANTOREL_CONFORMANCE_HARNESS_H

#include <windows.h>
#include <ddraw.h>

#include <string>

// What the groups work on: the game's window, its DirectDraw object in the exclusive
// 800 x 600 x 16 mode, and the two-page chain.
struct Stage {
    HWND window = nullptr;
    LPDIRECTDRAW4 dd = nullptr;
    LPDIRECTDRAWSURFACE4 front = nullptr;
    LPDIRECTDRAWSURFACE4 back = nullptr;
};

// Prints one case: "name | call | result | state".
void Report(const std::string& name, const std::string& call, const std::string& result,
            const std::string& state);
// printf into a string.
std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A BOOL as "TRUE" or "FALSE".
std::string Bool(BOOL b);
// An HRESULT by its DirectDraw name ("DD_OK", "DDERR_INVALIDRECT", ...), else in hex.
std::string Name(HRESULT result);
std::string Rect(const RECT& r);

// Takes the messages waiting for this thread and hands each to its window.
void PumpMessages();

// An off-screen plain surface, made as the title loader makes it.
HRESULT CreatePlain(LPDIRECTDRAW4 dd, DWORD width, DWORD height, LPDIRECTDRAWSURFACE4* out);
// A colour fill, as the frame draws its walls and paddles; rect null fills the whole surface.
HRESULT Fill(LPDIRECTDRAWSURFACE4 surface, RECT* rect, WORD colour);

// Pixels through Lock. Reading gives NoPixel when the lock fails.
constexpr DWORD NoPixel = 0xFFFFFFFF;
DWORD PixelAt(LPDIRECTDRAWSURFACE4 surface, int x, int y);
bool Paint(LPDIRECTDRAWSURFACE4 surface, WORD (*colour)(int x, int y));

// Where a colour lies on a surface: how many pixels, and the box around them.
struct Census {
    long count = 0;
    RECT box = {0, 0, 0, 0};
};
Census Count(LPDIRECTDRAWSURFACE4 surface, WORD colour);
Census CountOther(LPDIRECTDRAWSURFACE4 surface, WORD colour);
std::string Describe(const Census& census);

// The case groups, in the order they run.
void CreateCases(Stage& stage);
void FillCases(Stage& stage);
void StretchCases(Stage& stage);
void LockCases(Stage& stage);
void TextCases(Stage& stage);
void FlipCases(Stage& stage);
void ObjectCases(Stage& stage);
void WindowCases(Stage& stage);
void ModeCases(Stage& stage);
void TakenAwayCases(Stage& stage);
void EndCases(Stage& stage);

// What each build does its own way (windows_entry.cpp, native_entry.cpp): another program
// takes the display, or gives it back. Each pumps the messages until `settled` says the
// program has heard of it, for a few seconds at most.
void TakeDisplay(HWND window, bool (*settled)());
void GiveDisplay(HWND window, bool (*settled)());

// Runs every group; 0 when the stage could be set up.
int RunConformance();

#endif
