// The port as tests and benchmarks drive it, beside the host they install (host.h).
#ifndef VANTOREL_PORT_TEST_HOOKS_H
#define VANTOREL_PORT_TEST_HOOKS_H

#include <ddraw.h>

#include <string_view>

// A platform call as it reaches the call hook: its name, the object it is made on (Release
// only; else null) and the arguments tests read, in the call's own order (0 where left out, a
// pointer as its address): the set-up's DirectDraw calls all theirs (CreateSurface: the
// description's flags, caps, width, height and back-buffer count, the outer object, then the
// pixel format's bit count and red, green and blue masks), Blt its flags, fill colour, source
// and destination's left, top, right and bottom, Lock and Unlock theirs, SetTextColor,
// SetBkColor and SetBkMode their value, ShowCursor its flag, LoadIconA and LoadCursorA the
// instance and the resource, Sleep its time, TextOutA x, y and
// its text, RegisterClassExA the class's fields from cbSize to hIconSm and its name,
// CreateWindowExA exStyle to height and both names, SetWindowLongA the index and style,
// SetWindowPos `after` to the flags, SetStretchBltMode the mode, StretchBlt the target's
// rectangle, PatBlt the rectangle and the raster operation, LoadLibraryA and GetProcAddress
// (made on the module) the name, XInputGetState the pad.
struct PortCall {
    const char* name;
    const void* object;
    long long args[10];
    std::string_view text[2];
};

// Every named platform call passes through `hook` first: 0 lets it go on, anything else is the
// failure it returns instead (an HRESULT for DirectDraw, any non-zero for Win32 calls).
// nullptr lets every call go on.
void PortSetCallHook(long (*hook)(const PortCall& call));

// Extra bytes at the end of every new surface's rows.
void PortSetPitchPadding(LONG bytes);

// Lets a test change what a successful Lock hands out (a pitch or a size short of the
// surface's), to try the callers' guards; nullptr puts back the honest Lock.
void PortSetLockHook(void (*hook)(DDSURFACEDESC2& desc));

// Every surface loses its memory, as after a change of mode, while the screen stays the
// program's: a restore brings the surfaces back at once.
void PortLoseSurfaces();

// Forgets all windows, messages, DirectDraw objects and the three hooks above.
void PortReset();

// DirectDraw objects and surfaces still alive: 0 once the program has released everything.
int PortLiveObjects();

#endif
