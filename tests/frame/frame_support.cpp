#include <windows.h>
#include <ddraw.h>

#include "frame_support.h"

#include "display/device.h"
#include "display/frame.h"
#include "shell/main_window.h"
#include "src/font8x16.h"

#include <cstdio>

namespace {

LRESULT CALLBACK QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs `use(pixels, pitchInPixels)` on the locked back buffer.
template <typename Use> void WithBackBuffer(Use use) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    use(static_cast<WORD*>(desc.lpSurface), desc.lPitch / 2);
    backBuffer->Unlock(nullptr);
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

const scripted::Page& RunFirstFrame() {
    StartDisplay();
    GameFrame();
    return scripted::LastPresent();
}

scripted::Page BackBufferPixels() {
    scripted::Page page;
    WithBackBuffer([&](WORD* pixels, LONG stride) {
        page.width = stride;
        page.height = 600;
        page.pixels.assign(pixels, pixels + stride * 600);
    });
    return page;
}

void PaintBackBuffer(WORD (*pattern)(int x, int y)) {
    WithBackBuffer([&](WORD* pixels, LONG stride) {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < stride; ++x)
                pixels[y * stride + x] = pattern(x, y);
    });
}

WORD BlockColour(int column, int row) {
    return static_cast<WORD>((column * 9 + row * 5 + 3) % 32 << 11 |
                             (column * 17 + row * 23 + 7) % 64 << 5 |
                             (column * 5 + row * 11 + 29) % 32);
}

void WriteBlockTitle(const char* path) {
    const unsigned char header[54] = {'B', 'M', 0x96, 0xD8, 0x03, 0, 0, 0,   0, 0, 54, 0, 0, 0, 40,
                                      0,   0,   0,    0xBC, 0x02, 0, 0, 120, 0, 0, 0,  1, 0, 24};
    FILE* out = std::fopen(path, "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fwrite(header, 1, sizeof header, out);
    for (int y = 119; y >= 0; --y) { // bottom-up
        for (int x = 0; x < 700; ++x) {
            const WORD c = BlockColour(x / 100, y / 40);
            const unsigned char bgr[3] = {static_cast<unsigned char>((c & 0x1F) << 3),
                                          static_cast<unsigned char>((c >> 5 & 0x3F) << 2),
                                          static_cast<unsigned char>((c >> 11) << 3)};
            std::fwrite(bgr, 1, 3, out);
        }
    }
    std::fclose(out);
}

bool IsInk(const TextLine& line, int px, int py) {
    const long long dx = static_cast<long long>(px) - line.x;
    const long long dy = static_cast<long long>(py) - line.y;
    if (dx < 0 || dy < 0 || dy >= port::GlyphHeight ||
        dx / port::GlyphWidth >= static_cast<long long>(line.text.size()))
        return false;
    const unsigned char c = static_cast<unsigned char>(line.text[dx / port::GlyphWidth]);
    return port::Glyph(c)[dy] & (0x80 >> dx % port::GlyphWidth);
}

::testing::AssertionResult OnlyTextChanged(const scripted::Page& before,
                                           const scripted::Page& after,
                                           const std::vector<TextLine>& lines) {
    int wrong = 0;
    std::string first;
    for (int y = 0; y < before.height; ++y) {
        for (int x = 0; x < before.width; ++x) {
            WORD want = before.At(x, y);
            for (const TextLine& line : lines)
                want = x < 800 && IsInk(line, x, y) ? line.ink : want; // not in the padding
            if (after.At(x, y) != want && wrong++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                        std::to_string(after.At(x, y)) + ", not " + std::to_string(want);
        }
    }
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels wrong, first " << first;
}
