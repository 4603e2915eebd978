#include <windows.h>

#include "shell/keys.h"

#include "shell/main_window.h"
#include "shell/pads.h"

// The top bit says held; the pressed-since-last-call bit is ignored.
bool KeyHeld(int key) {
    return GetForegroundWindow() == mainWindow &&
           ((GetAsyncKeyState(key) & 0x8000) != 0 || PadHeld(key));
}
