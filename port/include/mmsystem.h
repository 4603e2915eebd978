// The multimedia timer of Win32, for systems other than Windows.
#ifndef VANTOREL_PORT_MMSYSTEM_H
#define VANTOREL_PORT_MMSYSTEM_H

#include <windows.h>

typedef UINT MMRESULT;
#define TIMERR_NOERROR 0

// Milliseconds since the host started; wraps every 2^32 ms.
DWORD timeGetTime(void);

// The timer's resolution for Sleep, in ms, asked for and given back. Every host's Sleep is as
// fine as it can be already, so these only say yes.
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);

#endif
