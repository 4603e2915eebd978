// The display device and the title loader, through the scripted host.
#include <windows.h>
#include <ddraw.h>

#include "display/bitmap.h"
#include "display/device.h"
#include "test_hooks.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>
#include <vector>

// A title file: the 54 header bytes for this size, then `pixels` as they stand.
static std::string Bitmap(LONG width, LONG height, const std::string& pixels, DWORD off = 54) {
    std::string bytes = "BM" + std::string(52, '\0');
    for (auto [at, value] :
         {std::pair<int, DWORD>{10, off}, {14, 40}, {18, width}, {22, height}, {26, 0x180001}})
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes + pixels;
}

const std::string WhiteTitle = Bitmap(4, 2, std::string(24, '\xFF'));
const std::vector<WORD> WhitePixels(8, 0xFFFF);

// Writes the file, then loads it as the title (giving back the one before).
static LPDIRECTDRAWSURFACE4 Load(const std::string& bytes) {
    std::ofstream("title.bmp", std::ios::binary) << bytes;
    if (titleSurface)
        titleSurface->Release();
    return titleSurface = LoadBitmapSurface("title.bmp");
}

// A surface's pixels without the pitch padding, [y * width + x]; none when it can't be locked.
static std::vector<WORD> Pixels(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(DDSURFACEDESC2);
    std::vector<WORD> pixels;
    if (!surface || FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return pixels;
    const auto* row = static_cast<const WORD*>(desc.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y, row += desc.lPitch / 2)
        pixels.insert(pixels.end(), row, row + desc.dwWidth);
    surface->Unlock(nullptr);
    return pixels;
}

static std::string Held() {
    return std::string(directDraw ? "dd " : "") + (directDraw4 ? "dd4 " : "") +
           (primarySurface ? "primary " : "") + (backBuffer ? "back " : "") +
           (titleSurface ? "title " : "");
}

// Every box (text, caption, style, "!" unless the game's window owns it), then the log.
static std::string Told() {
    std::string told;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes())
        told += box.text + '|' + box.caption + '|' + std::to_string(box.style) +
                (box.owner == mainWindow ? "\n" : "!\n");
    return told + "log: " + ReadFile("Log.txt");
}

// A failure as the display reports it: one box, and the same text as the one log line.
static std::string Report(const std::string& text) {
    return text + "|ERROR|16\nlog: " + text + "\n";
}

// Every test, and every case of a table, starts afresh and gives back all it made.
class Display : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        ResetEverything();
        std::remove("Log.txt"), mainWindow = HWND(0x40);
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    static void OpenDevice() { // as the title loader needs it: the fourth interface, no screen
        ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
        directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw4));
        directDraw->Release(), directDraw = nullptr;
        directDraw4->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    }
    TempDir dir;
};

// Each failing step of set-up is reported once and stops it, holding what it had; without its
// title the game sets up all the same. Release gives everything back in every state, twice.
TEST_F(Display, SetUpAndRelease) {
    ReleaseDirectDraw(), FlipSurfaces(); // before set-up: nothing to do
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"DirectDrawCreate", "", "QueryInterface"},
        {"QueryInterface", "", "SetCooperativeLevel"},
        {"SetCooperativeLevel", "dd4 ", "SetDisplayMode"},
        {"SetDisplayMode", "dd4 ", "CreateSurface"},
        {"CreateSurface", "dd4 ", "GetAttachedSurface"},
        {"GetAttachedSurface", "dd4 primary ", "Lock"},
        {nullptr, "dd4 primary back ", "Lock"}}; // no title file
    for (auto [call, held, notReached] : steps) {
        SetUp();
        if (call)
            scripted::FailCall(call, 1);
        const bool ok = InitDirectDraw();
        const std::string report =
            call ? call + std::string(" Failed") : "Could not open FinalTitle.bmp";
        EXPECT_EQ(std::make_tuple(ok, Held(), Told(), scripted::CallCount(notReached)),
                  std::make_tuple(!call, held, Report(report), 0));
        ReleaseDirectDraw(); // and once more by the next SetUp
    }
    SetUp();
    std::ofstream("FinalTitle.bmp", std::ios::binary) << WhiteTitle;
    ASSERT_TRUE(InitDirectDraw());
    EXPECT_EQ(std::make_tuple(Held(), Pixels(titleSurface), scripted::DisplayWidth(),
                              scripted::DisplayHeight(), scripted::DisplayBitsPerPixel()),
              std::make_tuple("dd4 primary back title ", WhitePixels, 800, 600, 16));
    ReleaseDirectDraw(), ReleaseDirectDraw();
    EXPECT_EQ(std::make_tuple(Held(), PortLiveObjects(), scripted::DisplayModeSet(), Told()),
              std::make_tuple("", 0, false, "log: "));

    // Over two frames a failing flip is tried three times a frame at most, unreported; a lost
    // chain is restored, the title read again, before the next try.
    const std::tuple<const char*, int, bool, int, int, int> flips[] = {
        {"Flip", 2, false, 4, 0, 2},
        {nullptr, 0, true, 3, 2, 2},
        {"Restore", -1, true, 6, 6, 0}, // the window is gone for good
        {"Flip", -1, false, 6, 0, 0}};
    for (auto [failing, times, lost, flipCalls, restores, presents] : flips) {
        SetUp();
        ASSERT_TRUE(InitDirectDraw());
        if (failing)
            scripted::FailCall(failing, times);
        lost ? scripted::LoseSurfaces() : void();
        FlipSurfaces(), FlipSurfaces();
        EXPECT_EQ(std::make_tuple(scripted::CallCount("Flip"), scripted::CallCount("Restore"),
                                  scripted::PresentCount(), Told()),
                  std::make_tuple(flipCalls, restores, presents, "log: "));
        EXPECT_TRUE(!presents || Pixels(titleSurface) == WhitePixels) << flipCalls;
    }
}

// Pixels are the top bits of their channels, the last row on top, whatever the pitch. A failed
// load is reported once and leaves nothing behind; a failed unlock keeps the surface, unlogged.
TEST_F(Display, LoadsTheTitle) {
    OpenDevice();
    const BYTE bgr[] = {
        0x10, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    7,    3,    7, // bottom row
        0xF8, 0xFC, 0xF8, 8,    4,    8,    0x5D, 0x12, 0xC3, 0x20, 0x40, 0x80};
    const std::string file(bgr, bgr + 24);
    for (LONG padding : {0, 2, 10}) {
        scripted::SetPitchPadding(padding);
        EXPECT_EQ(Pixels(Load(Bitmap(4, 2, file))),
                  (std::vector<WORD>{0xFFFF, 0x0821, 0xC08B, 0x8204, 0xFC02, 0xFFFF, 0, 0}))
            << "padding " << padding;
    }
    // bfOffBits says 57, and the file ends a byte into its sixth pixel: the pixels come from 54,
    // no pad bytes skipped (a standard file's row pad lands in the next row), the rest black.
    const std::string b("\xFF\0\0", 3), g("\0\xFF\0", 3), r("\0\0\xFF", 3), pad(3, '\xFF');
    EXPECT_EQ(Pixels(Load(Bitmap(3, 3, b + g + r + pad + r + "\xFF", 57))),
              (std::vector<WORD>{0, 0, 0, 0xFFFF, 0xF800, 0x001F, 0x001F, 0x07E0, 0xF800}));
    scripted::FailCall("Unlock", 1);
    Load(Bitmap(1, 1, file.substr(0, 3)))->Unlock(nullptr); // left locked
    EXPECT_EQ(std::make_pair(Pixels(titleSurface), Told()),
              std::make_pair(std::vector<WORD>{0xFC02}, std::string("hi|rgfdgsdg|0\nlog: ")));

    const std::tuple<std::string, const char*, const char*, int, int> failures[] = {
        {Bitmap(0, 120, ""), nullptr, "NewSurface Failed", 0, 0},
        {Bitmap(700, -120, pad), nullptr, "NewSurface Failed", 0, 0},
        {WhiteTitle.substr(0, 22), nullptr, "NewSurface Failed", 0, 0}, // no height: zero
        {WhiteTitle, "Lock", "Lock Failed", 1, 0},
        {Bitmap(8192, 2049, ""), nullptr, "Title Buffer Failed", 1, 1}}; // too big to read
    for (auto [bytes, failing, report, locks, unlocks] : failures) {
        SetUp();
        OpenDevice();
        if (failing)
            scripted::FailCall(failing, 1);
        EXPECT_EQ(Load(bytes), nullptr) << report;
        EXPECT_EQ(
            std::make_tuple(Told(), scripted::CallCount("Lock"), scripted::CallCount("Unlock")),
            std::make_tuple(Report(report), locks, unlocks));
    }
}
