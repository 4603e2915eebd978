#include <windows.h>
#include <mmsystem.h>

#include "display/pacing.h"

#include "game/deadline.h"

FramePacer framePacer = {0, 0};

namespace {

constexpr DWORD PagesPerSecond = 60;
// The longest a page waits: 1/60 s, rounded up.
constexpr DWORD PageInterval = (1000 + PagesPerSecond - 1) / PagesPerSecond;
// A page less than three frames late is made good by the pages after it, which wait less or
// not at all, so that a busy machine's short delays cost the game no time.
constexpr DWORD CatchUpLimit = 50;

// Counted in whole sixtieths from `since`, the deadlines keep 60 a second on average, where
// 17 ms apart they would come 59 times.
DWORD Deadline(const FramePacer& pacer) {
    return pacer.since + (pacer.shown * 1000 + PagesPerSecond - 1) / PagesPerSecond;
}

} // namespace

DWORD NextPageWait(FramePacer& pacer, DWORD now) {
    const DWORD deadline = Deadline(pacer);
    DWORD wait = 0;
    if (!DeadlineDue(deadline, now, PageInterval)) {
        wait = deadline - now;
    } else if (now - deadline >= CatchUpLimit) {
        // Three frames late or more (a box, the display away, a breakpoint, the first page):
        // the deadlines start afresh instead of letting the pages that follow race to catch up.
        pacer.since = now;
        pacer.shown = 0;
    }
    if (++pacer.shown == PagesPerSecond) {
        pacer.since += 1000;
        pacer.shown = 0;
    }
    return wait;
}

void PaceFrame() {
    // One sleep for the whole wait gives the processor up at once; a few milliseconds' error in
    // waking is made good by the next page's deadline.
    if (const DWORD wait = NextPageWait(framePacer, timeGetTime()))
        Sleep(wait);
}
