// The title loader: a 24-bit bottom-up file into a new off-screen 5-6-5 surface.
#include <windows.h>
#include <ddraw.h>

#include "display/bitmap.h"

#include "display/bitmap_file.h"
#include "display/device.h"
#include "shell/log.h"
#include "shell/main_window.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

// No picture this game shows comes near this many pixels (the title has 84,000); a header
// asking for more is broken, and its scratch buffer is refused rather than tried.
constexpr uint64_t MaxPixels = uint64_t{1} << 24;

enum class Fill { Done, LockFailed, NoScratch };

struct FillResult {
    Fill outcome;
    bool unlockFailed;
};

void ReportTitleFailure(const char* text) {
    ReportFailure(mainWindow, text, "ERROR", MB_ICONERROR, text);
}

// Locks the surface, converts the file's pixels and copies them in, then unlocks. Nothing is
// written unless the lock gave memory that holds the whole image.
FillResult FillSurface(LPDIRECTDRAWSURFACE4 surface, FILE* file, BitmapSize size) {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof(desc));
    desc.dwSize = sizeof(DDSURFACEDESC2);
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return {Fill::LockFailed, false};

    const uint64_t count = PixelCount(size);
    const uint64_t width = static_cast<uint64_t>(size.width);
    const uint64_t height = static_cast<uint64_t>(size.height);
    if (!desc.lpSurface || desc.dwWidth < width || desc.dwHeight < height || desc.lPitch < 0 ||
        static_cast<uint64_t>(desc.lPitch / 2) < width) {
        surface->Unlock(nullptr);
        return {Fill::LockFailed, false};
    }

    std::unique_ptr<WORD[]> scratch;
    if (count <= MaxPixels)
        scratch.reset(new (std::nothrow) WORD[static_cast<size_t>(count)]);
    if (!scratch) {
        surface->Unlock(nullptr);
        return {Fill::NoScratch, false};
    }
    ReadBitmapPixels(file, size, scratch.get());
    CopyBottomUp(scratch.get(), size, desc.lpSurface, desc.lPitch);
    scratch.reset();

    return {Fill::Done, FAILED(surface->Unlock(nullptr))};
}

} // namespace

LPDIRECTDRAWSURFACE4 LoadBitmapSurface(const char* fileName) {
    FILE* file = std::fopen(fileName, "rb");
    if (!file) {
        const std::string text = std::string("Could not open ") + fileName;
        ReportTitleFailure(text.c_str());
        return nullptr;
    }
    const BitmapSize size = ReadBitmapSize(file);

    // The size goes to the driver as it stands: a negative height is a huge unsigned one,
    // which a real driver refuses.
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof(desc));
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(size.width);
    desc.dwHeight = static_cast<DWORD>(size.height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    LPDIRECTDRAWSURFACE4 surface = nullptr;
    if (FAILED(directDraw4->CreateSurface(&desc, &surface, nullptr))) {
        ReportTitleFailure("NewSurface Failed");
        std::fclose(file);
        return nullptr;
    }

    // A side that is zero or negative has no pixels to read or copy.
    if (PixelCount(size) == 0) {
        std::fclose(file);
        return surface;
    }

    const FillResult fill = FillSurface(surface, file, size);
    std::fclose(file);
    if (fill.outcome != Fill::Done) {
        surface->Release();
        ReportTitleFailure(fill.outcome == Fill::LockFailed ? "Lock Failed"
                                                            : "Title Buffer Failed");
        return nullptr;
    }
    // Kept on purpose: the pixels are all written, so the surface is used; the box says only
    // that the unlock went wrong, and nothing goes to the log.
    if (fill.unlockFailed)
        MessageBoxA(mainWindow, "hi", "rgfdgsdg", MB_OK);
    return surface;
}

bool ReloadBitmapSurface(LPDIRECTDRAWSURFACE4 surface, const char* fileName) {
    FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    const BitmapSize size = ReadBitmapSize(file);
    const bool filled =
        PixelCount(size) > 0 && FillSurface(surface, file, size).outcome == Fill::Done;
    std::fclose(file);
    return filled;
}
