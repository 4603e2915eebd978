// The conformance program's frame: one line per case, results by name, the stage every group
// draws on, and pixels read and written through Lock. The same source is built against the
// real platform and against port/, so it uses only the names the game uses.
#ifndef VANTOREL_CONFORMANCE_HARNESS_H
#define VANTOREL_CONFORMANCE_HARNESS_H

#include <windows.h>
#include <ddraw.h>

#include <functional>
#include <string>
#include <vector>

using Surface = LPDIRECTDRAWSURFACE4;

// What the groups work on: the game's window, its DirectDraw object in the exclusive
// 800 x 600 x 16 mode, and the two-page chain.
struct Stage {
    HWND window = nullptr;
    LPDIRECTDRAW4 dd = nullptr;
    Surface front = nullptr;
    Surface back = nullptr;
};

// What a case shows after its call; worked out only once the call has returned.
using State = std::function<std::string()>;

// Prints one case: "name | call | result | state".
void Report(const std::string& name, const std::string& call, const std::string& result,
            const std::string& state);
// Prints one case of a call that gives an HRESULT; with no state, the state is "-".
void Case(const std::string& name, const std::string& call, HRESULT result,
          const State& state = nullptr);
// printf into a string.
std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A BOOL as "TRUE" or "FALSE".
std::string Bool(BOOL b);
// An HRESULT by its DirectDraw name ("DD_OK", "DDERR_INVALIDRECT", ...), else in hex.
std::string Name(HRESULT result);
std::string Rect(const RECT& r);
// What a Release says is left.
std::string References(ULONG count);

// Takes the messages waiting for this thread and hands each to its window.
void PumpMessages();
// Registers a window class of this program's with its procedure; false when refused.
bool RegisterWindowClass(const char* name, WNDPROC procedure);

// A surface description with its size field set, as every call that takes one wants it.
DDSURFACEDESC2 Description();
// An off-screen plain surface, made as the title loader makes it.
HRESULT CreatePlain(LPDIRECTDRAW4 dd, DWORD width, DWORD height, Surface* out);
// The primary with one back buffer, made as the game makes it.
HRESULT CreateChain(LPDIRECTDRAW4 dd, Surface* front);
// A colour fill, as the frame draws its walls and paddles; rect null fills the whole surface.
HRESULT Fill(Surface surface, RECT* rect, WORD colour);

// A surface's pixels, copied out through one Lock; none when the lock fails.
struct Pixels {
    LONG width = 0;
    LONG height = 0;
    std::vector<WORD> rows; // row after row, without the padding between them
};
Pixels ReadPixels(Surface surface);
bool Readable(const Pixels& pixels);
WORD PixelOf(const Pixels& pixels, LONG x, LONG y);
// Gives every pixel colour(x, y) through one Lock; false when the lock fails.
bool Paint(Surface surface, WORD (*colour)(int x, int y));
// One pixel as four hex digits, or "unreadable".
std::string PixelText(Surface surface, int x, int y);

// Where some pixels lie: how many, and the box around them.
struct Census {
    long count = 0;
    RECT box = {0, 0, 0, 0};
};
// Counts one more pixel, widening the box to take it in.
void Add(Census& census, LONG x, LONG y);
// The pixels of one colour, or (CountOther) of every other; a count of -1 when unreadable.
Census Count(Surface surface, WORD colour);
Census CountOther(Surface surface, WORD colour);
std::string Describe(const Census& census);

// The case groups, in the order they run.
void CreateCases(Stage& stage);
void FillCases(Stage& stage);
void StretchCases(Stage& stage);
void LockCases(Stage& stage);
void TextCases(Stage& stage);
void FlipCases(Stage& stage);
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
