// The scripted host: a deterministic stand-in for the real platform in tests and benchmarks.
// Tests set the clock and the keys, make named platform calls fail, and read back what the
// program showed: message boxes, presented pages, the calls it made in order.
#ifndef VANTOREL_PORT_SCRIPTED_HOST_H
#define VANTOREL_PORT_SCRIPTED_HOST_H

#include <ddraw.h>
#include <windows.h>
#include <xinput.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace scripted {

// One platform call as the program made it, with what the port passes on of it (PortCall in
// test_hooks.h): the object it was made on, the arguments tests read, its texts.
struct Call {
    std::string name;
    const void* object;
    std::array<long long, 10> args;
    std::array<std::string, 2> text;
};

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

// A presented page, copied without its pitch padding: pixels[y * width + x].
struct Page {
    int width = 0;
    int height = 0;
    std::vector<WORD> pixels;
    WORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Resets everything below to its starting state, forgets the port's windows, messages,
// DirectDraw objects and hooks (PortReset), and installs this host.
void Install();

// Clock (timeGetTime) and keys (GetAsyncKeyState). Sleep moves the clock on by its time.
void SetClock(DWORD ms);
void AdvanceClock(DWORD ms);
void SetKey(int vk, bool down);
// Pad `user` (0 to 3) plugged in, holding these buttons and its left stick this far across;
// pulled out. None is plugged in after Install.
void SetPad(DWORD user, WORD buttons, SHORT stickX = 0);
void UnplugPad(DWORD user);
// Whether the game's window is in front (GetForegroundWindow); it is after Install.
void SetForeground(bool inFront);

// Makes the named call fail the next `times` calls (-1: until Install), returning `code`.
// A name the port never calls is a mistake in the test: it throws std::invalid_argument.
void FailCall(const std::string& call, int times = -1, long code = DDERR_GENERIC);
// Lets the named call go through `skip` more times, then fails it as FailCall does.
void FailCallAfter(const std::string& call, int skip, int times = 1, long code = DDERR_GENERIC);

// The calls made since Install, in order ("Blt", "Flip", "PeekMessageA", ...), with what they
// were made on and their arguments. Recording can be switched off where a benchmark wants the
// call path alone.
void SetRecording(bool on);
const std::vector<Call>& Calls();
std::vector<Call> CallsNamed(const std::string& call);
// The names of the calls made from the `from`-th on.
std::vector<std::string> CallNames(size_t from = 0);
int CallCount(const std::string& call);

// Extra bytes at the end of every new surface's rows (PortSetPitchPadding).
void SetPitchPadding(LONG bytes);

// Another program takes the screen, and later gives it back (the game's window is in front
// again, the desktop's mode still on the screen).
void TakeDisplay();
void GiveDisplay();

// Message boxes, in the order shown. The handler, when set, runs while the box is "open"
// and gives the button; without one every box is answered IDOK at once.
const std::vector<MessageBoxRecord>& MessageBoxes();
void OnMessageBox(std::function<int(const MessageBoxRecord&)> handler);

// Presented pages. Keeping the copies can be switched off (the count still runs).
void SetKeepPresents(bool on);
int PresentCount();
const Page& LastPresent();

// Runs at the start of every PeekMessageA, with the number of that call (1, 2, ...).
void OnPump(std::function<void(int pump)> handler);
// The next PeekMessageA passes on a close request from the user.
void RequestClose();

// Whether the cursor shows, as ShowCursor's counter left it.
bool CursorVisible();

// Whether the program's mode is on the screen rather than the desktop's.
bool DisplayModeSet();

} // namespace scripted

#endif
