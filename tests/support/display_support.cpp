#include "support/display_support.h"

#include "display/device.h"
#include "shell/main_window.h"

#include <fstream>

std::string BitmapFile(LONG width, LONG height, const std::string& pixels, DWORD pixelOffset) {
    std::string bytes = "BM" + std::string(52, '\0');
    const std::pair<int, DWORD> fields[] = {{10, pixelOffset},
                                            {14, 40},
                                            {18, static_cast<DWORD>(width)},
                                            {22, static_cast<DWORD>(height)},
                                            {26, 0x180001}}; // one plane, 24 bits
    for (const auto& [at, value] : fields)
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes + pixels;
}

std::string FlatBitmapFile(LONG width, LONG height, WORD colour) {
    const char bgr[] = {static_cast<char>((colour & 0x1F) << 3),
                        static_cast<char>((colour >> 5 & 0x3F) << 2),
                        static_cast<char>(colour >> 11 << 3)};
    std::string pixels;
    pixels.reserve(static_cast<size_t>(width) * height * 3);
    for (LONG i = 0; i < width * height; ++i)
        pixels.append(bgr, 3);
    return BitmapFile(width, height, pixels);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<WORD> SurfacePixels(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    std::vector<WORD> pixels;
    if (!surface || FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return pixels;
    const auto* row = static_cast<const WORD*>(desc.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        pixels.insert(pixels.end(), row, row + desc.dwWidth);
        row += desc.lPitch / 2;
    }
    surface->Unlock(nullptr);
    return pixels;
}

bool StartDisplay() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "WindowClass";
    RegisterClassExA(&windowClass);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
    return mainWindow && InitDirectDraw();
}
