// The program's entry: start-up, the main loop, shutdown, and the game window's procedure.
#include <windows.h>
#include <mmsystem.h>

#include "display/device.h"
#include "display/frame.h"
#include "display/windowed.h"
#include "shell/command_line.h"
#include "shell/keys.h"
#include "shell/log.h"
#include "shell/main_window.h"
#include "shell/pads.h"
#include "shell/window_proc.h"

namespace {

constexpr WORD IconResource = 101;
constexpr const char* WindowClassName = "WindowClass";
constexpr const char* WindowCaption = "Vantorel";

// A start-up that fails (class, window or display) tells whoever launched the game so.
constexpr int StartupFailed = 1;

// Kept on purpose: the window's failures are captioned "Error!", unlike the display's "ERROR"
// and the drawing's "Error".
void ReportWindowFailure(const char* text) {
    ReportFailure(nullptr, text, "Error!", MB_ICONERROR, text);
}

// Alt+Enter: the key's context bit says Alt is held; the first press only, not its repeats.
constexpr LPARAM AltHeldBit = LPARAM{1} << 29;
constexpr LPARAM RepeatBit = LPARAM{1} << 30;

// The way out where the display could not be set up, at start-up or at a switch.
int EndWithoutDisplay() {
    ReleaseDirectDraw();
    ShowCursor(TRUE);
    return StartupFailed;
}

} // namespace

// The previous instance and the show command are not used: the window is visible through its
// style alone. The command line may ask for a window instead of the full screen.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // A log that cannot be opened has shown its own box; start-up goes on regardless.
    ClearLog();

    WNDCLASSEXA windowClass;
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = 0;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    // The loads happen in this order (large icon, cursor, small icon) and are not checked.
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr; // the window is never erased
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = WindowClassName;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IconResource));

    if (!RegisterClassExA(&windowClass)) {
        ReportWindowFailure("Window Registration Failed!");
        return StartupFailed;
    }

    HWND window = CreateWindowExA(0, WindowClassName, WindowCaption, FullScreenWindowStyle, 0, 0,
                                  FullScreenWindowWidth, FullScreenWindowHeight, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) {
        ReportWindowFailure("Window Creation Failed!");
        return StartupFailed;
    }
    mainWindow = window;

    ShowCursor(FALSE);

    // The failing step has been reported by the display itself.
    const bool started = AskedForWindow(commandLine) ? InitWindowedDirectDraw() : InitDirectDraw();
    if (!started)
        return EndWithoutDisplay();
    OpenPads();

    // For the game's run a Sleep of a few milliseconds is one, so that the flip's pacing can
    // wait without spinning.
    timeBeginPeriod(1);

    // Kept on purpose: at most one message per pass, then always a frame. A backlog of messages
    // drains one per frame, and with none waiting the frames run back to back at the pace of
    // the flip.
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                timeEndPeriod(1);
                ReleaseDirectDraw();
                ShowCursor(TRUE);
                WriteLog("Game successfully returning...", 1);
                return static_cast<int>(msg.wParam);
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // The switch happens here, never inside a frame or a box's own message loop.
        if (TakeDisplaySwitch() && !SwitchDisplay())
            return EndWithoutDisplay();
        GameFrame();
    }
}

// The window's destruction ends the game, and Alt+Enter asks for the switch between the full
// screen and a window; everything else, a close request included, gets the default handling
// (which destroys the window on a close request).
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_SYSKEYDOWN && wParam == VK_RETURN && (lParam & AltHeldBit) &&
        !(lParam & RepeatBit)) {
        AskDisplaySwitch();
        return 0;
    }
    // The Alt+Enter character would only make the default handling beep.
    if (message == WM_SYSCHAR && wParam == '\r')
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}
