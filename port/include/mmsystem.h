// The multimedia timer of Win32, for systems other than Windows.
#ifndef VANTOREL_PORT_MMSYSTEM_H
#define VANTOREL_PORT_MMSYSTEM_H

#include <windows.h>

// Milliseconds since the host started; wraps every 2^32 ms.
DWORD timeGetTime(void);

#endif
