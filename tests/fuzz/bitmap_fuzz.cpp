// Any file at all as the title, written to "FinalTitle.bmp" in the working directory (a scratch
// one, from scripts/run-fuzz) and loaded by the display's set-up: no bad access, overflow,
// crash or surface left behind, whatever the header claims.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "test_hooks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The info header's LONG at `at`; bytes past the end of the input count as zero.
LONG HeaderLong(const uint8_t* data, size_t size, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && at + i < size; ++i)
        value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
    return static_cast<LONG>(value);
}

// A fresh host with the game's window, as WinMain makes it before the display's set-up.
void OpenWindow() {
    scripted::Install();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    RegisterClassExA(&windowClass);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Large images are only slow (the unit tests cover the limit); negative sizes go through.
    const LONG width = HeaderLong(data, size, 18), height = HeaderLong(data, size, 22);
    if (width > 0 && height > 0 && static_cast<uint64_t>(width) * height > (1u << 20))
        return 0;

    FILE* file = std::fopen("FinalTitle.bmp", "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    OpenWindow();
    if (!mainWindow || !InitDirectDraw())
        std::abort(); // the title never stops the set-up
    ReleaseDirectDraw();
    if (PortLiveObjects() != 0)
        std::abort(); // a failed load left its surface behind
    return 0;
}
