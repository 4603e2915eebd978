#include "host.h"

namespace portdefault {

DWORD Now() {
    return 0;
}
void Sleep(DWORD) {}
bool KeyDown(int) {
    return false;
}
int MessageBox(HWND, const char*, const char*, UINT) {
    return IDOK;
}
bool OpenWindow(const char*, int, int) {
    return true;
}
void Nothing() {}
void ShowCursor(bool) {}
bool SetDisplayMode(int, int, int) {
    return true;
}
LONG SurfacePitch(DWORD width) {
    return static_cast<LONG>(width * 2);
}
void Present(const WORD*, LONG, int, int) {}
long Enter(const PortCall&) {
    return 0;
}
bool InFront() {
    return true;
}
bool NoPad(DWORD, XINPUT_GAMEPAD&) {
    return false;
}

} // namespace portdefault

namespace {
const PortHost defaultHost;
const PortHost* current = &defaultHost;
} // namespace

void PortSetHost(const PortHost* host) {
    current = host ? host : &defaultHost;
}

const PortHost& PortGetHost() {
    return *current;
}
