// The title loader: exact pixels, the file layout it insists on, and every way a load fails.
#include "display_test.h"

#include "display/bitmap.h"

namespace {

std::string Bgr(int b, int g, int r) {
    return {char(b), char(g), char(r)};
}

class BitmapTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        OpenDevice();
    }
    void TearDown() override {
        for (LPDIRECTDRAWSURFACE4 surface : loaded)
            surface->Release();
        loaded.clear();
        DisplayTest::TearDown();
    }
    static void OpenDevice() {
        ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
        ASSERT_EQ(
            directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&directDraw4)),
            DD_OK);
        directDraw->Release();
        directDraw = nullptr;
        ASSERT_EQ(directDraw4->SetCooperativeLevel(mainWindow, 0x13), DD_OK);
        ASSERT_EQ(directDraw4->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
    }
    LPDIRECTDRAWSURFACE4 Load(const std::string& bytes) {
        WriteBytes("title.bmp", bytes);
        LPDIRECTDRAWSURFACE4 surface = LoadBitmapSurface("title.bmp");
        if (surface)
            loaded.push_back(surface);
        return surface;
    }
    std::vector<LPDIRECTDRAWSURFACE4> loaded;
};

TEST_F(BitmapTest, LoadsEveryPixelTopRowFirstWhateverThePitch) {
    // 4 x 3, every pixel different, with noise in the low bits that the conversion drops.
    std::string bottomUp;
    std::vector<WORD> topDown(12);
    for (int fileRow = 0; fileRow < 3; ++fileRow)
        for (int x = 0; x < 4; ++x) {
            const int r = 31 - x - 4 * fileRow, g = 5 * x + fileRow, b = 7 * fileRow + x;
            bottomUp += Bgr(b << 3 | 5, g << 2 | 3, r << 3 | x);
            topDown[(2 - fileRow) * 4 + x] = static_cast<WORD>(r << 11 | g << 5 | b);
        }
    for (LONG padding : {0, 2, 10}) {
        scripted::SetPitchPadding(padding);
        LPDIRECTDRAWSURFACE4 surface = Load(BitmapBytes(4, 3, bottomUp));
        ASSERT_NE(surface, nullptr) << "padding " << padding;
        EXPECT_EQ(SurfacePixels(surface), topDown) << "padding " << padding;
    }
    EXPECT_TRUE(scripted::MessageBoxes().empty());
}

TEST_F(BitmapTest, ConvertsByTruncatingEachChannel) {
    const struct {
        int b, g, r;
        WORD pixel;
    } cases[] = {
        {0x10, 0x80, 0xFF, 0xFC02}, {0xFF, 0xFF, 0xFF, 0xFFFF}, {0, 0, 0, 0},
        {0x07, 0x03, 0x07, 0x0000}, {0xF8, 0xFC, 0xF8, 0xFFFF}, {0x08, 0x04, 0x08, 0x0821}};
    std::string row;
    for (const auto& c : cases)
        row += Bgr(c.b, c.g, c.r);
    LPDIRECTDRAWSURFACE4 surface = Load(BitmapBytes(std::size(cases), 1, row));
    ASSERT_NE(surface, nullptr);
    const std::vector<WORD> pixels = SurfacePixels(surface);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(pixels[i], cases[i].pixel) << "case " << i;
}

TEST_F(BitmapTest, ReadsRowsWithoutPadFromOffset54AndMissingBytesAsBlack) {
    // A standard 3-wide file pads each row to 12 bytes; the loader does not skip the pad, so
    // its top row starts with the bottom row's pad bytes.
    const std::string b = Bgr(0xFF, 0, 0), g = Bgr(0, 0xFF, 0), r = Bgr(0, 0, 0xFF),
                      pad = Bgr(0xFF, 0xFF, 0xFF);
    LPDIRECTDRAWSURFACE4 sheared = Load(BitmapBytes(3, 2, b + g + r + pad + r + g + b + pad));
    ASSERT_NE(sheared, nullptr);
    EXPECT_EQ(SurfacePixels(sheared),
              (std::vector<WORD>{0xFFFF, 0xF800, 0x07E0, 0x001F, 0x07E0, 0xF800}));

    // bfOffBits says 57; the pixel is taken from 54 all the same.
    LPDIRECTDRAWSURFACE4 offset = Load(BitmapBytes(1, 1, pad + std::string(3, '\0'), 57));
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(SurfacePixels(offset), std::vector<WORD>{0xFFFF});

    // A white 4 x 2 read again from a copy cut off after five and a third pixels.
    const std::string white = BitmapBytes(4, 2, std::string(24, '\xFF'));
    LPDIRECTDRAWSURFACE4 cut = Load(white);
    ASSERT_NE(cut, nullptr);
    WriteBytes("title.bmp", white.substr(0, 54 + 16));
    EXPECT_TRUE(ReloadBitmapSurface(cut, "title.bmp"));
    EXPECT_EQ(SurfacePixels(cut),
              (std::vector<WORD>{0xFFFF, 0x001F, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}));
    EXPECT_TRUE(scripted::MessageBoxes().empty());
}

TEST_F(BitmapTest, EveryFailedLoadIsReportedOnceAndLeavesNothingBehind) {
    const std::string header = BitmapBytes(4, 2, "");
    const struct {
        std::string bytes; // empty: no file at all
        const char* failing;
        const char* report;
        int locks, unlocks;
    } cases[] = {
        {"", nullptr, "Could not open title.bmp", 0, 0},
        {BitmapBytes(0, 120, ""), nullptr, "NewSurface Failed", 0, 0},
        {BitmapBytes(700, 0, ""), nullptr, "NewSurface Failed", 0, 0},
        {BitmapBytes(-700, 120, ""), nullptr, "NewSurface Failed", 0, 0},
        {BitmapBytes(700, -120, std::string(3, '\xFF')), nullptr, "NewSurface Failed", 0, 0},
        {header.substr(0, 22), nullptr, "NewSurface Failed", 0, 0}, // no height: zero
        {header.substr(0, 10), nullptr, "NewSurface Failed", 0, 0},
        {header, "Lock", "Lock Failed", 1, 0},
        {BitmapBytes(8192, 2049, ""), nullptr, "Title Buffer Failed", 1, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        TearDown();
        SetUp();
        if (cases[i].failing)
            scripted::FailCall(cases[i].failing, 1);
        std::remove("title.bmp");
        if (!cases[i].bytes.empty())
            WriteBytes("title.bmp", cases[i].bytes);
        EXPECT_EQ(LoadBitmapSurface("title.bmp"), nullptr);
        ExpectOneReport(cases[i].report);
        EXPECT_EQ(scripted::CallCount("Lock"), cases[i].locks);
        EXPECT_EQ(scripted::CallCount("Unlock"), cases[i].unlocks);
    }
}

TEST_F(BitmapTest, AFailedUnlockShowsItsOwnBoxAndKeepsTheSurface) {
    scripted::FailCall("Unlock", 1);
    LPDIRECTDRAWSURFACE4 surface = Load(BitmapBytes(1, 1, Bgr(0x10, 0x80, 0xFF)));
    ASSERT_NE(surface, nullptr);
    surface->Unlock(nullptr); // the failed unlock left it locked
    EXPECT_EQ(SurfacePixels(surface), std::vector<WORD>{0xFC02});
    ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
    const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
    EXPECT_EQ(box.owner, mainWindow);
    EXPECT_EQ(box.text + "|" + box.caption, "hi|rgfdgsdg");
    EXPECT_EQ(box.style, MB_OK);
    EXPECT_EQ(ReadFile("Log.txt"), "");
}

} // namespace
