#include "host.h"
#include "internal.h"

void PortReset() {
    port::ResetWindows();
    port::ResetDirectDraw();
}

int PortLiveObjects() {
    return port::LiveDirectDrawObjects();
}
