// Shared by the display tests: a game window to own the boxes, title files, surface pixels.
#ifndef VANTOREL_TESTS_DISPLAY_TEST_H
#define VANTOREL_TESTS_DISPLAY_TEST_H

#include <windows.h>
#include <ddraw.h>

#include "support/test_support.h"

#include "display/device.h"
#include "host.h"
#include "scripted_host.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

// A title file: the 54 header bytes for this size, then `pixels` as they stand.
inline std::string BitmapBytes(LONG width, LONG height, const std::string& pixels,
                               DWORD offBits = 54) {
    std::string bytes = "BM" + std::string(52, '\0');
    for (auto [at, value] :
         {std::pair<int, DWORD>{10, offBits}, {14, 40}, {18, width}, {22, height}, {26, 0x180001}})
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes + pixels;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A surface's pixels without the pitch padding: [y * width + x].
inline std::vector<WORD> SurfacePixels(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    std::vector<WORD> pixels;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return pixels;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const BYTE* row = static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch;
        pixels.insert(pixels.end(), reinterpret_cast<const WORD*>(row),
                      reinterpret_cast<const WORD*>(row) + desc.dwWidth);
    }
    surface->Unlock(nullptr);
    return pixels;
}

// Each test runs in its own directory with a game window; everything it set up is released
// at the end, and nothing may be left alive.
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        std::remove("Log.txt");
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "DisplayTest";
        RegisterClassExA(&wc);
        mainWindow = CreateWindowExA(0, "DisplayTest", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0,
                                     1024, 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(mainWindow, nullptr);
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }

    // One box in the style of the display's reports, and its text as the only log line.
    static void ExpectOneReport(const std::string& text) {
        ASSERT_EQ(scripted::MessageBoxes().size(), 1u) << text;
        const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
        EXPECT_EQ(box.owner, mainWindow);
        EXPECT_EQ(box.text + "|" + box.caption, text + "|ERROR");
        EXPECT_EQ(box.style, MB_ICONERROR);
        EXPECT_EQ(ReadFile("Log.txt"), text + "\n");
    }

    TempDir dir;
};

#endif
