#include <windows.h>

#include "game/deadline.h"

// Every deadline the game sets is the clock plus its interval, so while it is still pending
// it lies 1 to `interval` ms ahead of the clock. Measuring how far ahead it is, modulo 2^32,
// keeps that true across the clock's wrap. Anything else (level with the clock, behind it,
// or further ahead than any deadline is ever set) means it has been reached: the 0 every
// deadline starts at is due at once whatever the clock reads, and so is a deadline left
// alone for weeks.
bool DeadlineDue(DWORD deadline, DWORD clock, DWORD interval) {
    const DWORD ahead = deadline - clock;
    return ahead == 0 || ahead > interval;
}
