#include "host.h"

namespace {

DWORD NullNow() {
    return 0;
}
void NullSleep(DWORD) {}
bool NullKeyDown(int) {
    return false;
}
int NullMessageBox(HWND, const char*, const char*, UINT) {
    return IDOK;
}
bool NullOpenWindow(const char*, int, int) {
    return true;
}
void NullCloseWindow() {}
void NullShowCursor(bool) {}
void NullPumpEvents() {}
bool NullSetDisplayMode(int, int, int) {
    return true;
}
void NullRestoreDisplayMode() {}
LONG NullSurfacePitch(DWORD width) {
    return static_cast<LONG>(width * 2);
}
void NullPresent(const WORD*, LONG, int, int) {}
long NullEnter(const PortCall&) {
    return 0;
}
bool NullInFront() {
    return true;
}

const PortHost nullHost = {
    NullNow,          NullSleep,      NullKeyDown,    NullMessageBox,     NullOpenWindow,
    NullCloseWindow,  NullShowCursor, NullPumpEvents, NullSetDisplayMode, NullRestoreDisplayMode,
    NullSurfacePitch, NullPresent,    NullEnter,      NullInFront};

const PortHost* current = &nullHost;

} // namespace

void PortSetHost(const PortHost* host) {
    current = host ? host : &nullHost;
}

const PortHost& PortGetHost() {
    return *current;
}
