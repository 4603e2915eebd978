// The frames' pace: pages are shown at most 60 times a second, as a 60 Hz display shows them,
// whether the display is faster or the flip does not wait at all.
#ifndef VANTOREL_DISPLAY_PACING_H
#define VANTOREL_DISPLAY_PACING_H

#include <windows.h>

// The deadlines of the pages to come: the next is due `shown` sixtieths of a second after
// `since` (rounded up to the millisecond). Both start at 0, which is due at once.
struct FramePacer {
    DWORD since;
    DWORD shown;
};

extern FramePacer framePacer;

// Called by PaceFrame with the clock: how many ms the next page waits to be due, and counts
// it as shown.
DWORD NextPageWait(FramePacer& pacer, DWORD now);

// Called by FlipSurfaces before each flip: sleeps until the page is due.
void PaceFrame();

#endif
