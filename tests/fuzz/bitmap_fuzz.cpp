// Any file at all as the title: the set-up must never read or write out of bounds, overflow,
// crash or leave a surface behind, whatever the header claims. Each input is written to
// "FinalTitle.bmp" in the working directory (scripts/run-fuzz runs it in a scratch one) and
// loaded by the display's set-up, as the game loads it; failed loads write Log.txt as well.
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
    // Large images the device would make are only slow, not interesting: the loader's own
    // limit on them is covered by the unit tests. Negative sizes still go through.
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
