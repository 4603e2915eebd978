// Keyboard and clock: both are whatever the host says they are at this moment.
#include <mmsystem.h>

#include "host.h"
#include "internal.h"

SHORT GetAsyncKeyState(int key) {
    // Only the "held now" bit; the game never looks at the pressed-since-last-call bit.
    return PortGetHost().keyDown(key) ? static_cast<SHORT>(0x8000) : 0;
}

DWORD timeGetTime(void) {
    return PortGetHost().now();
}

MMRESULT timeBeginPeriod(UINT period) {
    port::Enter("timeBeginPeriod", nullptr, {period}); // recorded; nothing to refuse
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
    port::Enter("timeEndPeriod", nullptr, {period}); // recorded; nothing to refuse
    return TIMERR_NOERROR;
}

void Sleep(DWORD ms) {
    if (port::Enter("Sleep", nullptr, {ms}))
        return;
    PortGetHost().sleep(ms);
}
