// Any file at all as the title: the loader must never read or write out of bounds, overflow,
// crash or leave a surface behind, whatever the header claims.
#include <windows.h>
#include <ddraw.h>

#include "display/bitmap.h"
#include "display/device.h"
#include "host.h"
#include "scripted_host.h"
#include "shell/main_window.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string inputPath;

void RemoveInput() {
    std::remove(inputPath.c_str());
}

LONG HeaderLong(const uint8_t* data, size_t size, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && at + i < size; ++i)
        value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
    return static_cast<LONG>(value);
}

// A fresh host with the window and the device in the state the loader expects.
bool OpenDevice() {
    scripted::Install();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Fuzz";
    RegisterClassExA(&wc);
    mainWindow = CreateWindowExA(0, "Fuzz", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                                 nullptr, nullptr, nullptr, nullptr);
    if (!mainWindow || FAILED(DirectDrawCreate(nullptr, &directDraw, nullptr)))
        return false;
    const HRESULT queried =
        directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw4));
    directDraw->Release();
    directDraw = nullptr;
    return SUCCEEDED(queried) && SUCCEEDED(directDraw4->SetCooperativeLevel(mainWindow, 0x13)) &&
           SUCCEEDED(directDraw4->SetDisplayMode(800, 600, 16, 0, 0));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/bitmap_fuzz-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0)
        std::abort();
    close(fd);
    inputPath = pattern;
    std::atexit(RemoveInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Large images the device would make are only slow, not interesting: the loader's own
    // limit on them is covered by the unit tests. Negative sizes still go through.
    const LONG width = HeaderLong(data, size, 18), height = HeaderLong(data, size, 22);
    if (width > 0 && height > 0 && static_cast<uint64_t>(width) * height > (1u << 20))
        return 0;

    FILE* file = std::fopen(inputPath.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    if (!OpenDevice())
        std::abort();
    if (LPDIRECTDRAWSURFACE4 surface = LoadBitmapSurface(inputPath.c_str()))
        surface->Release();
    ReleaseDirectDraw();
    if (PortLiveObjects() != 0)
        std::abort(); // a failed load left its surface behind
    return 0;
}
