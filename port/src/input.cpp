// Keyboard and clock: both are whatever the host says they are at this moment.
#include <mmsystem.h>

#include "host.h"

SHORT GetAsyncKeyState(int key) {
    // Only the "held now" bit; the game never looks at the pressed-since-last-call bit.
    return PortGetHost().keyDown(key) ? static_cast<SHORT>(0x8000) : 0;
}

DWORD timeGetTime(void) {
    return PortGetHost().now();
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (port::Enter("MessageBoxA"))
        return 0;
    return PortGetHost().messageBox(owner, text ? text : "", caption ? caption : "Error", type);
}
