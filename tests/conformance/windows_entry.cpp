// The conformance program on the real platform. Another program taking the display is played
// by a second thread of this one: a window of its own in the foreground is what the display
// answers to, whichever process it belongs to.
#include "harness.h"

namespace {

HANDLE leave = nullptr;

DWORD WINAPI OtherProgram(LPVOID) {
    RegisterWindowClass("ConformanceThief", DefWindowProcA);
    HWND window =
        CreateWindowExA(0, "ConformanceThief", "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    while (MsgWaitForMultipleObjects(1, &leave, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
    DestroyWindow(window);
    return 0;
}

void PumpUntil(bool (*settled)()) {
    const DWORD start = GetTickCount();
    while (!settled() && GetTickCount() - start < 5000) {
        PumpMessages();
        Sleep(10);
    }
    PumpMessages();
}

HANDLE other = nullptr;

} // namespace

void TakeDisplay(HWND, bool (*settled)()) {
    leave = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    other = CreateThread(nullptr, 0, OtherProgram, nullptr, 0, nullptr);
    PumpUntil(settled);
}

void GiveDisplay(HWND window, bool (*settled)()) {
    SetEvent(leave);
    while (WaitForSingleObject(other, 10) == WAIT_TIMEOUT)
        PumpMessages();
    CloseHandle(other);
    CloseHandle(leave);
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    PumpUntil(settled);
}

int main() {
    return RunConformance();
}
