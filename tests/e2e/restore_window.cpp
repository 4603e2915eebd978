// Brings the game back after another program took the display, the way a player clicking its
// button on the task bar would. The Wine end-to-end test runs it; its exit code says whether
// the game's window was there to bring back (0) or not (1).
#include <windows.h>

int main() {
    HWND window = FindWindowA("WindowClass", "Vantorel");
    if (!window)
        return 1;
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return 0;
}
