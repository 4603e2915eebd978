// The conformance program on port/, over the scripted host: the host plays the other program
// that takes the display.
#include "harness.h"

#include "scripted_host.h"

void TakeDisplay(HWND, bool (*)()) {
    scripted::TakeDisplay();
}

void GiveDisplay(HWND, bool (*)()) {
    scripted::GiveDisplay();
}

int main() {
    scripted::Install();
    return RunConformance();
}
