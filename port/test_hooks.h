// Hooks for tests and benchmarks: what no program calls.
#ifndef VANTOREL_PORT_TEST_HOOKS_H
#define VANTOREL_PORT_TEST_HOOKS_H

#include <ddraw.h>

// Forgets all windows, messages, classes and DirectDraw objects.
void PortReset();

// DirectDraw objects and surfaces still alive: 0 once the program has released everything.
int PortLiveObjects();

// Every surface loses its memory, as after a change of mode, while the screen stays the
// program's: a restore brings the surfaces back at once.
void PortLoseSurfaces();

// Lets a test change what a successful Lock hands out (a pitch or a size short of the
// surface's), to try the callers' guards; nullptr puts back the honest Lock. PortReset clears it.
void PortSetLockHook(void (*hook)(DDSURFACEDESC2& desc));

#endif
