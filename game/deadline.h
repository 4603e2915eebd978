// The game's timers: a deadline is set to the clock plus a short interval, and is due once
// the clock reaches it. Shared by the play step and the frame-rate counter.
#ifndef VANTOREL_GAME_DEADLINE_H
#define VANTOREL_GAME_DEADLINE_H

#include <windows.h>

// True when `deadline`, set at most `interval` ms ahead of the clock, has been reached.
// Safe across the 32-bit millisecond clock's wrap and after any wait.
bool DeadlineDue(DWORD deadline, DWORD clock, DWORD interval);

#endif
