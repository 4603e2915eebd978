// Any file at all as the title: the loader must never read or write out of bounds, overflow,
// crash or leave a surface behind, whatever the header claims. Each input is written to
// "title.bmp" in the working directory (scripts/run-fuzz runs it in a scratch one), where
// failed loads write Log.txt as well.
#include <windows.h>
#include <ddraw.h>

#include "display/bitmap.h"
#include "display/device.h"
#include "test_hooks.h"
#include "scripted_host.h"

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

// A fresh host and the device as the loader finds it: the fourth interface, ready for surfaces.
bool OpenDevice() {
    scripted::Install();
    if (FAILED(DirectDrawCreate(nullptr, &directDraw, nullptr)))
        return false;
    const HRESULT queried =
        directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw4));
    directDraw->Release();
    directDraw = nullptr;
    return SUCCEEDED(queried) && SUCCEEDED(directDraw4->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Large images the device would make are only slow, not interesting: the loader's own
    // limit on them is covered by the unit tests. Negative sizes still go through.
    const LONG width = HeaderLong(data, size, 18), height = HeaderLong(data, size, 22);
    if (width > 0 && height > 0 && static_cast<uint64_t>(width) * height > (1u << 20))
        return 0;

    FILE* file = std::fopen("title.bmp", "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    if (!OpenDevice())
        std::abort();
    if (LPDIRECTDRAWSURFACE4 surface = LoadBitmapSurface("title.bmp"))
        surface->Release();
    ReleaseDirectDraw();
    if (PortLiveObjects() != 0)
        std::abort(); // a failed load left its surface behind
    return 0;
}
