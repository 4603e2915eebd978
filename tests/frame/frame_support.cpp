#include <windows.h>
#include <ddraw.h>

#include "frame_support.h"

#include "display/device.h"
#include "display/frame.h"
#include "shell/main_window.h"
#include "src/font8x16.h"

#include <cstdio>
#include <sstream>

namespace {

LRESULT CALLBACK QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Lock of the whole back buffer; null when it could not be locked.
WORD* LockBackBuffer(LONG& pitch) {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    if (FAILED(backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return nullptr;
    pitch = desc.lPitch;
    return static_cast<WORD*>(desc.lpSurface);
}

void PutLE(std::string& out, DWORD value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

bool StartDisplay() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = QuietProc;
    wc.lpszClassName = "WindowClass";
    RegisterClassExA(&wc);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
    return mainWindow && InitDirectDraw();
}

void StopDisplay() {
    ReleaseDirectDraw();
}

const scripted::Page& RunFirstFrame() {
    StartDisplay();
    GameFrame();
    return scripted::LastPresent();
}

std::vector<WORD> ReadBackBuffer() {
    std::vector<WORD> pixels(static_cast<size_t>(ScreenWidth) * ScreenHeight);
    LONG pitch = 0;
    const WORD* memory = LockBackBuffer(pitch);
    if (!memory) {
        ADD_FAILURE() << "the back buffer could not be locked";
        return pixels;
    }
    for (int y = 0; y < ScreenHeight; ++y) {
        const WORD* row = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(memory) +
                                                        static_cast<size_t>(y) * pitch);
        std::copy(row, row + ScreenWidth, pixels.begin() + static_cast<ptrdiff_t>(y) * ScreenWidth);
    }
    backBuffer->Unlock(nullptr);
    return pixels;
}

void PaintBackBuffer(WORD (*pattern)(int x, int y)) {
    LONG pitch = 0;
    WORD* memory = LockBackBuffer(pitch);
    if (!memory) {
        ADD_FAILURE() << "the back buffer could not be locked";
        return;
    }
    for (int y = 0; y < ScreenHeight; ++y) {
        WORD* row = reinterpret_cast<WORD*>(reinterpret_cast<BYTE*>(memory) +
                                            static_cast<size_t>(y) * pitch);
        for (int x = 0; x < ScreenWidth; ++x)
            row[x] = pattern(x, y);
        for (LONG x = ScreenWidth; x < pitch / 2; ++x)
            row[x] = PaddingPixel;
    }
    backBuffer->Unlock(nullptr);
}

bool PaddingUntouched() {
    LONG pitch = 0;
    const WORD* memory = LockBackBuffer(pitch);
    if (!memory)
        return false;
    bool untouched = true;
    for (int y = 0; y < ScreenHeight; ++y) {
        const WORD* row = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(memory) +
                                                        static_cast<size_t>(y) * pitch);
        for (LONG x = ScreenWidth; x < pitch / 2; ++x)
            untouched = untouched && row[x] == PaddingPixel;
    }
    backBuffer->Unlock(nullptr);
    return untouched;
}

WORD BlockColour(int column, int row) {
    const int red = (column * 9 + row * 5 + 3) % 32;
    const int green = (column * 17 + row * 23 + 7) % 64;
    const int blue = (column * 5 + row * 11 + 29) % 32;
    return static_cast<WORD>(red << 11 | green << 5 | blue);
}

void WriteBlockTitle(const std::string& path) {
    const int width = 700, height = 120;
    std::string file = "BM";
    PutLE(file, 54 + width * height * 3, 4);
    PutLE(file, 0, 4);
    PutLE(file, 54, 4);
    PutLE(file, 40, 4);
    PutLE(file, width, 4);
    PutLE(file, height, 4);
    PutLE(file, 1, 2);
    PutLE(file, 24, 2);
    file.append(24, '\0'); // compression, image size, resolution, colours: all 0
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = height - 1 - fileRow; // bottom-up
        for (int x = 0; x < width; ++x) {
            const WORD c = BlockColour(x / 100, y / 40);
            file += static_cast<char>((c & 0x1F) << 3);        // blue
            file += static_cast<char>(((c >> 5) & 0x3F) << 2); // green
            file += static_cast<char>((c >> 11) << 3);         // red
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

bool IsInk(const TextLine& line, int px, int py) {
    const long long dx = static_cast<long long>(px) - line.x;
    const long long dy = static_cast<long long>(py) - line.y;
    if (dx < 0 || dy < 0 || dy >= port::GlyphHeight)
        return false;
    const long long cell = dx / port::GlyphWidth;
    if (cell >= static_cast<long long>(line.text.size()))
        return false;
    const unsigned char* glyph = port::Glyph(static_cast<unsigned char>(line.text[cell]));
    return glyph[dy] & (0x80 >> (dx % port::GlyphWidth));
}

::testing::AssertionResult OnlyTextChanged(const std::vector<WORD>& before,
                                           const std::vector<WORD>& after,
                                           const std::vector<TextLine>& lines) {
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            const size_t i = static_cast<size_t>(y) * ScreenWidth + x;
            WORD want = before[i];
            for (const TextLine& line : lines)
                if (IsInk(line, x, y))
                    want = line.ink;
            if (after[i] != want && wrong++ == 0)
                first << std::hex << "(" << std::dec << x << ", " << y << ") is 0x" << std::hex
                      << after[i] << ", not 0x" << want;
        }
    }
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels wrong, first " << first.str();
}
