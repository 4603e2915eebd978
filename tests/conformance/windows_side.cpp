// On the real platform: the run script answers the boxes and does what the program asks of the
// world outside; a hook of this thread reads each box as it closes.
#include <windows.h>

#include "side.h"

#include "shell/main_window.h"

#include <cstring>

namespace {

// A message box is a dialog whose text is its control 0xFFFF; both are still there when its
// destruction is announced.
LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char kind[16] = "";
    if (code == HCBT_DESTROYWND && GetClassNameA(box, kind, sizeof kind) &&
        std::strcmp(kind, "#32770") == 0) {
        char caption[256] = "";
        char text[256] = "";
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        boxesShown.push_back({caption, text, GetWindow(box, GW_OWNER) == mainWindow});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void StartSide() {
    SetWindowsHookExA(WH_CBT, Watch, nullptr, GetCurrentThreadId());
}

void Act(const std::string&) {}
