#include <windows.h>

#include "shell/keys.h"

#include "shell/main_window.h"
#include "shell/pads.h"

bool displaySwitchAsked = false;
bool enterHeldBack = false;

namespace {

// The top bit says held; the pressed-since-last-call bit is ignored.
bool KeyboardDown(int key) {
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

bool Down(int key) {
    return KeyboardDown(key) || PadHeld(key);
}

} // namespace

bool KeyHeld(int key) {
    if (GetForegroundWindow() != mainWindow)
        return false;
    if (key != VK_RETURN)
        return Down(key);
    if (!Down(VK_RETURN)) {
        enterHeldBack = false;
        return false;
    }
    return !enterHeldBack && !KeyboardDown(VK_MENU); // no pad has an Alt
}

void AskDisplaySwitch() {
    displaySwitchAsked = true;
    enterHeldBack = true;
}

bool TakeDisplaySwitch() {
    const bool asked = displaySwitchAsked;
    displaySwitchAsked = false;
    return asked;
}
