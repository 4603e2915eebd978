// The title loader: a 24-bit bottom-up file into a new off-screen 5-6-5 surface.
#include <windows.h>
#include <ddraw.h>

#include "display/bitmap.h"

#include "display/bitmap_file.h"
#include "display/surfaces.h"
#include "display/windowed.h"
#include "shell/main_window.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

// The size is judged before any surface is made. No picture this game shows comes near these
// (the title has 84,000 pixels): a header asking for more, or for a side of zero or less, is
// broken, and some drivers make a surface of a negative side with no memory behind it.
constexpr LONG MaxSide = 8192;
constexpr uint64_t MaxPixels = uint64_t{1} << 24;

// The frame shows the title's top-left region of this size; a smaller image can't fill it, and
// the blit from it would fail in every frame.
constexpr LONG ShownWidth = 700;
constexpr LONG ShownHeight = 120;

enum class Fill { Done, LockFailed, NoScratch };

struct FillResult {
    Fill outcome;
    bool unlockFailed;
};

bool SaneSize(BitmapSize size) {
    return size.width > 0 && size.height > 0 && size.width <= MaxSide && size.height <= MaxSide &&
           PixelCount(size) <= MaxPixels;
}

bool ShowableSize(BitmapSize size) {
    return size.width >= ShownWidth && size.height >= ShownHeight;
}

// Says which file is too small and what the title needs, on two lines.
std::string TooSmallText(const char* fileName, BitmapSize size) {
    return std::string(fileName) + " is " + std::to_string(size.width) + " x " +
           std::to_string(size.height) + " pixels.\nThe title needs at least " +
           std::to_string(ShownWidth) + " x " + std::to_string(ShownHeight) + ".";
}

// Locks the surface, converts the file's pixels and copies them in, then unlocks. Nothing is
// written unless the lock gave memory that holds the whole image.
FillResult FillSurface(LPDIRECTDRAWSURFACE4 surface, FILE* file, BitmapSize size) {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof(desc));
    desc.dwSize = sizeof(DDSURFACEDESC2);
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return {Fill::LockFailed, false};

    const uint64_t width = static_cast<uint64_t>(size.width);
    const uint64_t height = static_cast<uint64_t>(size.height);
    if (!desc.lpSurface || desc.dwWidth < width || desc.dwHeight < height || desc.lPitch < 0 ||
        static_cast<uint64_t>(desc.lPitch / 2) < width) {
        surface->Unlock(nullptr);
        return {Fill::LockFailed, false};
    }

    std::unique_ptr<WORD[]> scratch(new (std::nothrow) WORD[static_cast<size_t>(PixelCount(size))]);
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
        ReportSetupFailure(text.c_str());
        return nullptr;
    }
    const BitmapSize size = ReadBitmapSize(file);
    // The text a refusing driver gives.
    if (!SaneSize(size)) {
        std::fclose(file);
        ReportSetupFailure("NewSurface Failed");
        return nullptr;
    }
    if (!ShowableSize(size)) {
        std::fclose(file);
        ReportSetupFailure(TooSmallText(fileName, size).c_str());
        return nullptr;
    }

    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof(desc));
    desc.dwSize = sizeof(DDSURFACEDESC2);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(size.width);
    desc.dwHeight = static_cast<DWORD>(size.height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    AskForGamePixels(desc);
    LPDIRECTDRAWSURFACE4 surface = nullptr;
    if (FAILED(directDraw4->CreateSurface(&desc, &surface, nullptr))) {
        ReportSetupFailure("NewSurface Failed");
        std::fclose(file);
        return nullptr;
    }

    const FillResult fill = FillSurface(surface, file, size);
    std::fclose(file);
    if (fill.outcome != Fill::Done) {
        surface->Release();
        ReportSetupFailure(fill.outcome == Fill::LockFailed ? "Lock Failed"
                                                            : "Title Buffer Failed");
        return nullptr;
    }
    // Kept on purpose: the pixels are all written, so the surface is used; the box says only
    // that the unlock went wrong, and nothing goes to the log.
    if (fill.unlockFailed) {
        ShowGdiSurface();
        MessageBoxA(mainWindow, "hi", "rgfdgsdg", MB_OK);
    }
    return surface;
}

bool ReloadBitmapSurface(LPDIRECTDRAWSURFACE4 surface, const char* fileName) {
    FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    const BitmapSize size = ReadBitmapSize(file);
    // The file may have changed since it was loaded; only what fits is written.
    const bool filled = SaneSize(size) && FillSurface(surface, file, size).outcome == Fill::Done;
    std::fclose(file);
    return filled;
}
