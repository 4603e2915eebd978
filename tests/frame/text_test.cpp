// Text on the back buffer: PrintText and the device-context calls under it.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/text.h"
#include "frame_support.h"
#include "host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

constexpr WORD MagentaPixel = 0xF81F;

// Every pixel different and none of them magenta, so a stray write shows.
WORD Pattern(int x, int y) {
    const WORD p = static_cast<WORD>(x * 7 + y * 131);
    return p == MagentaPixel ? 0x1234 : p;
}

std::string PrintableAscii() {
    std::string all;
    for (char c = ' '; c <= '~'; ++c)
        all += c;
    return all;
}

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        scripted::SetPitchPadding(6); // rows further apart than the width
        ASSERT_TRUE(StartDisplay());
    }
    void TearDown() override {
        StopDisplay();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
};

TEST_F(TextTest, TransparentTextChangesOnlyGlyphPixelsWhereverItLies) {
    const std::string ascii = PrintableAscii();
    const struct {
        int x, y;
        std::string text;
    } cases[] = {
        {10, 10, ascii},
        {-5, -7, "Clipped at the top left"},
        {795, 590, "Wp"},
        {-20, 300, ascii + ascii}, // starts left of the screen, runs off the right
        {300, 590, "Cut off at the bottom"},
        {INT_MIN, 100, std::string(40, 'W')}, // far off to the left
        {INT_MAX - 3, 100, "W"},
        {100, INT_MIN, "above"},
        {100, INT_MAX, "below"},
        {5, 40, "\x01\x7f\x80\xff\t"}, // outside ' ' ... '~': boxes
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n++));
        PaintBackBuffer(Pattern);
        const std::vector<WORD> before = ReadBackBuffer();
        PrintText(c.x, c.y, c.text.c_str(), White);
        const std::vector<WORD> after = ReadBackBuffer();
        EXPECT_TRUE(OnlyTextChanged(before, after, {{c.x, c.y, c.text, 0xFFFF}}));
        EXPECT_TRUE(PaddingUntouched()) << "nothing drawn past the right edge";
        for (WORD p : after)
            ASSERT_NE(p, MagentaPixel);
    }
}

TEST_F(TextTest, BytesOutsidePrintableAsciiDrawAHollowBox) {
    PaintBackBuffer([](int, int) -> WORD { return 0; });
    PrintText(0, 0, "\x01", White);
    const std::vector<WORD> page = ReadBackBuffer();
    int lit = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
            lit += page[y * ScreenWidth + x] == 0xFFFF;
    EXPECT_GT(lit, 8);
    EXPECT_EQ(page[6 * ScreenWidth + 3], 0) << "the box is hollow";
}

// The colour is set afresh for every line: what was drawn before never leaks into the next.
TEST_F(TextTest, TheSameColourGivesTheSamePixelWhateverCameBefore) {
    const struct {
        COLORREF colour;
        WORD pixel;
    } cases[] = {
        {White, 0xFFFF},
        {Yellow, 0xFFE0},
        {LightGrey, 0xCE79},
        {0x000000FF, 0xF800},
        {0x0000FF00, 0x07E0},
        {0x00FF0000, 0x001F},
        {0x00070307, 0x0000}, // the low bits are
                              // dropped
        {0x00102030, 0x3102},
    };
    const COLORREF earlier[] = {Yellow, 0x00000000, 0x00FF00FF};
    int n = 0;
    for (const auto& c : cases) {
        for (COLORREF first : earlier) {
            SCOPED_TRACE("case " + std::to_string(n) + " after colour " + std::to_string(first));
            PaintBackBuffer(Pattern);
            PrintText(200, 200, "#", first);
            const std::vector<WORD> before = ReadBackBuffer();
            PrintText(200, 200, "#", c.colour);
            EXPECT_TRUE(OnlyTextChanged(before, ReadBackBuffer(), {{200, 200, "#", c.pixel}}));
        }
        ++n;
    }
}

TEST_F(TextTest, ALineTakesTheContextSetsItUpDrawsAndPutsItBackInOrder) {
    for (const char* text : {"Score: 0", ""}) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        PaintBackBuffer(Pattern);
        const std::vector<WORD> before = ReadBackBuffer();
        scripted::SetRecording(true);
        const size_t from = scripted::Calls().size();
        PrintText(100, 100, text, White);
        const std::vector<std::string> calls(scripted::Calls().begin() + from,
                                             scripted::Calls().end());
        const std::vector<std::string> expected = {"GetDC",      "SetTextColor", "SetBkColor",
                                                   "SetBkMode",  "TextOutA",     "SetTextColor",
                                                   "SetBkColor", "SetBkMode",    "ReleaseDC"};
        EXPECT_EQ(calls, expected);
        EXPECT_TRUE(OnlyTextChanged(before, ReadBackBuffer(), {{100, 100, text, 0xFFFF}}));
    }
    // Nothing is held between lines: the back buffer takes a blit again.
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    EXPECT_EQ(backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
}

TEST_F(TextTest, WithoutAContextTheLineIsSkippedAndTheNextOneDraws) {
    PaintBackBuffer(Pattern);
    const std::vector<WORD> before = ReadBackBuffer();
    scripted::FailCall("GetDC", 1, DDERR_SURFACELOST);
    const size_t from = scripted::Calls().size();
    PrintText(100, 100, "Lives: 3", White);
    EXPECT_EQ(std::vector<std::string>(scripted::Calls().begin() + from, scripted::Calls().end()),
              std::vector<std::string>{"GetDC"});
    EXPECT_TRUE(OnlyTextChanged(before, ReadBackBuffer(), {}));

    PrintText(100, 100, "Lives: 3", White);
    EXPECT_TRUE(OnlyTextChanged(before, ReadBackBuffer(), {{100, 100, "Lives: 3", 0xFFFF}}));
}

// The device-context calls themselves, on a context taken straight from the back buffer.
TEST_F(TextTest, ContextCallsReturnThePreviousValuesAndRefuseAContextNotHeld) {
    HDC dc = nullptr;
    ASSERT_EQ(backBuffer->GetDC(&dc), DD_OK);
    SetTextColor(dc, 0x00112233);
    EXPECT_EQ(SetTextColor(dc, 0x00000000), 0x00112233u);
    SetBkColor(dc, 0x00445566);
    EXPECT_EQ(SetBkColor(dc, 0x00FFFFFF), 0x00445566u);
    SetBkMode(dc, TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, 0), 0) << "not a background mode";
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", -1), FALSE);
    EXPECT_EQ(TextOutA(dc, 0, 0, nullptr, 1), FALSE);
    scripted::FailCall("TextOutA", 1);
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", 1), FALSE);
    ASSERT_EQ(backBuffer->ReleaseDC(dc), DD_OK);

    for (HDC gone : {static_cast<HDC>(nullptr), dc}) {
        SCOPED_TRACE(gone ? "released context" : "null context");
        EXPECT_EQ(SetTextColor(gone, White), CLR_INVALID);
        EXPECT_EQ(SetBkColor(gone, White), CLR_INVALID);
        EXPECT_EQ(SetBkMode(gone, TRANSPARENT), 0);
        EXPECT_EQ(TextOutA(gone, 0, 0, "x", 1), FALSE);
    }
    EXPECT_TRUE(
        OnlyTextChanged(std::vector<WORD>(ScreenWidth * ScreenHeight, 0), ReadBackBuffer(), {}))
        << "nothing was drawn";
}

TEST_F(TextTest, OpaqueTextFillsItsWholeCellsWithTheBackgroundColour) {
    PaintBackBuffer(Pattern);
    HDC dc = nullptr;
    ASSERT_EQ(backBuffer->GetDC(&dc), DD_OK);
    SetTextColor(dc, Yellow);
    SetBkColor(dc, 0x000000FF);
    SetBkMode(dc, OPAQUE);
    EXPECT_EQ(TextOutA(dc, 796, -3, "Ag", 2), TRUE); // clipped right and top
    ASSERT_EQ(backBuffer->ReleaseDC(dc), DD_OK);

    const std::vector<WORD> page = ReadBackBuffer();
    const TextLine line{796, -3, "Ag", 0xFFE0};
    for (int y = 0; y < 13; ++y)
        for (int x = 796; x < 800; ++x)
            ASSERT_EQ(page[y * ScreenWidth + x], IsInk(line, x, y) ? 0xFFE0 : 0xF800)
                << "(" << x << ", " << y << ")";
    EXPECT_EQ(page[13 * ScreenWidth + 796], Pattern(796, 13));
    EXPECT_EQ(page[0 * ScreenWidth + 795], Pattern(795, 0));
}

} // namespace
