// The keyboard and the clock: both are whatever the host says they are at this moment.
#include <mmsystem.h>

#include "internal.h"

SHORT GetAsyncKeyState(int key) {
    // Only the "held now" bit; the game never looks at the pressed-since-last-call bit.
    return port::Host().keyDown(key) ? static_cast<SHORT>(0x8000) : 0;
}

DWORD timeGetTime(void) {
    return port::Host().now();
}

MMRESULT timeBeginPeriod(UINT period) {
    port::Enter(__func__, nullptr, {period}); // recorded; nothing to refuse
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
    port::Enter(__func__, nullptr, {period}); // recorded; nothing to refuse
    return TIMERR_NOERROR;
}

void Sleep(DWORD ms) {
    if (port::Enter(__func__, nullptr, {ms}))
        return;
    port::Host().sleep(ms);
}
