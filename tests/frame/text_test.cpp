// Text on the back buffer: PrintText and the device-context calls under it.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/text.h"
#include "frame_support.h"
#include "host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr WORD MagentaPixel = 0xF81F;

// Every pixel different from its neighbours and none magenta, so a stray write shows.
WORD Pattern(int x, int y) {
    const WORD p = static_cast<WORD>(x * 7 + y * 131);
    return p == MagentaPixel ? 0x1234 : p;
}

std::vector<std::string> CallsSince(size_t from) {
    return {scripted::Calls().begin() + static_cast<ptrdiff_t>(from), scripted::Calls().end()};
}

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        scripted::SetPitchPadding(6); // rows further apart than the width
        ASSERT_TRUE(StartDisplay());
        PaintBackBuffer(Pattern);
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
};

TEST_F(TextTest, TransparentTextChangesOnlyItsGlyphPixelsWhereverItLies) {
    std::string ascii; // every printable character, twice: wider than the screen
    for (int i = 0; i < 190; ++i)
        ascii += static_cast<char>(' ' + i % 95);
    const TextLine cases[] = {
        {10, 10, ascii, 0},
        {-5, -7, "Clipped top left", 0},
        {795, 590, "Wp", 0},
        {300, 590, "Cut off at the bottom", 0},
        {INT_MIN, 100, std::string(40, 'W'), 0},
        {INT_MAX - 3, 100, "W", 0},
        {100, INT_MIN, "above", 0},
        {100, INT_MAX, "below", 0},
        {5, 40, "\x01\x7f\x80\xff\t", 0}, // boxes
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        PaintBackBuffer(Pattern);
        const scripted::Page before = BackBufferPixels();
        PrintText(cases[i].x, cases[i].y, cases[i].text.c_str(), White);
        const scripted::Page after = BackBufferPixels();
        TextLine expected = cases[i];
        expected.ink = 0xFFFF;
        EXPECT_TRUE(OnlyTextChanged(before, after, {expected})) << "case " << i;
        EXPECT_EQ(std::count(after.pixels.begin(), after.pixels.end(), MagentaPixel), 0);
    }
}

// The colour is set afresh for every line, whatever the line before used.
TEST_F(TextTest, TheSameColourGivesTheSamePixelWhateverCameBefore) {
    const struct {
        COLORREF colour;
        WORD pixel;
    } cases[] = {
        {White, 0xFFFF},      {Yellow, 0xFFE0},     {LightGrey, 0xCE79},
        {0x000000FF, 0xF800}, {0x0000FF00, 0x07E0}, {0x00FF0000, 0x001F},
        {0x00102030, 0x3102}, {0x00070307, 0x0000}, // low bits dropped
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        for (COLORREF earlier : {Yellow, COLORREF{0}, COLORREF{0x00FF00FF}}) {
            PrintText(200, 200, "#", earlier);
            const scripted::Page before = BackBufferPixels();
            PrintText(200, 200, "#", cases[i].colour);
            EXPECT_TRUE(
                OnlyTextChanged(before, BackBufferPixels(), {{200, 200, "#", cases[i].pixel}}))
                << "case " << i << " after " << earlier;
        }
    }
}

// Each line takes the context, sets it up, draws and puts everything back; without a context
// the line is skipped and the next one draws.
TEST_F(TextTest, ALineHoldsTheContextOnlyWhileItDraws) {
    const std::vector<std::string> whole = {"GetDC",      "SetTextColor", "SetBkColor",
                                            "SetBkMode",  "TextOutA",     "SetTextColor",
                                            "SetBkColor", "SetBkMode",    "ReleaseDC"};
    const struct {
        const char* text;
        bool getDCFails;
        std::vector<std::string> calls;
        bool drawn;
    } cases[] = {
        {"Score: 0", false, whole, true},
        {"", false, whole, true},
        {"Lives: 3", true, {"GetDC"}, false},
        {"Lives: 3", false, whole, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        if (cases[i].getDCFails)
            scripted::FailCall("GetDC", 1, DDERR_SURFACELOST);
        const scripted::Page before = BackBufferPixels();
        const size_t from = scripted::Calls().size();
        PrintText(100, 100, cases[i].text, White);
        EXPECT_EQ(CallsSince(from), cases[i].calls) << "case " << i;
        std::vector<TextLine> lines;
        if (cases[i].drawn)
            lines.push_back({100, 100, cases[i].text, 0xFFFF});
        EXPECT_TRUE(OnlyTextChanged(before, BackBufferPixels(), lines)) << "case " << i;
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx;
        RECT corner = {0, 0, 1, 1};
        EXPECT_EQ(backBuffer->Blt(&corner, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK)
            << "case " << i << ": the back buffer is free again";
    }
}

TEST_F(TextTest, ContextCallsGiveThePreviousValuesAndOpaqueCellsAreFilled) {
    const scripted::Page before = BackBufferPixels();
    HDC dc = nullptr;
    ASSERT_EQ(backBuffer->GetDC(&dc), DD_OK);
    SetTextColor(dc, 0x00112233);
    EXPECT_EQ(SetTextColor(dc, Yellow), 0x00112233u);
    SetBkColor(dc, 0x00445566);
    EXPECT_EQ(SetBkColor(dc, 0x000000FF), 0x00445566u);
    SetBkMode(dc, TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, 0), 0) << "not a background mode";
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", -1), FALSE);
    EXPECT_EQ(TextOutA(dc, 0, 0, nullptr, 1), FALSE);
    scripted::FailCall("TextOutA", 1);
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", 1), FALSE);
    EXPECT_EQ(TextOutA(dc, 796, -3, "Ag", 2), TRUE); // clipped right and top
    ASSERT_EQ(backBuffer->ReleaseDC(dc), DD_OK);
    for (HDC gone : {static_cast<HDC>(nullptr), dc}) {
        EXPECT_EQ(SetTextColor(gone, White), CLR_INVALID);
        EXPECT_EQ(SetBkColor(gone, White), CLR_INVALID);
        EXPECT_EQ(SetBkMode(gone, TRANSPARENT), 0);
        EXPECT_EQ(TextOutA(gone, 0, 0, "x", 1), FALSE);
    }

    // Only the visible part of the one line drawn changed: its cells, in ink and paper.
    const scripted::Page after = BackBufferPixels();
    const TextLine line{796, -3, "Ag", 0};
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < after.width; ++x) {
            const bool cell = x >= 796 && x < 800 && y < 13;
            const WORD want = !cell ? before.At(x, y) : IsInk(line, x, y) ? 0xFFE0 : 0xF800;
            ASSERT_EQ(after.At(x, y), want) << x << ", " << y;
        }
    }
}

} // namespace
