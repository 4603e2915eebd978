#include "internal.h"
#include "test_hooks.h"

void PortReset() {
    port::ResetWindows();
    port::ResetDirectDraw();
}

int PortLiveObjects() {
    return port::LiveDirectDrawObjects();
}
