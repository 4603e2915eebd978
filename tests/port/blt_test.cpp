// Blt: colour fills clipped to the surface, stretch and exact copies.
#include "port_test.h"

namespace {

using BltTest = PortTest;

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST_F(BltTest, FillsTheRectangleClippedToTheSurface) {
    const struct {
        RECT rect;
        HRESULT result;
        RECT filled;
    } cases[] = {
        {{2, 1, 5, 3}, DD_OK, {2, 1, 5, 3}},
        {{-3, -2, 4, 3}, DD_OK, {0, 0, 4, 3}},
        {{14, 6, 40, 40}, DD_OK, {14, 6, 16, 8}},
        {{-9, -9, 99, 99}, DD_OK, {0, 0, 16, 8}},
        {{16, 0, 20, 8}, DD_OK, {}},
        {{5, 5, 5, 7}, DDERR_INVALIDRECT, {}},
        {{6, 2, 3, 4}, DDERR_INVALIDRECT, {}},
        {{0, 4, 16, 4}, DDERR_INVALIDRECT, {}},
    };
    // Padded rows and a colour whose two bytes agree take other ways through the fill.
    for (LONG padding : {0, 10})
        for (WORD colour : {WORD{0xF81F}, WORD{0x4242}}) {
            scripted::SetPitchPadding(padding);
            LPDIRECTDRAWSURFACE4 s = Plain(16, 8);
            for (size_t i = 0; i < std::size(cases); ++i) {
                ASSERT_EQ(Fill(s, nullptr, 0), DD_OK);
                RECT rect = cases[i].rect;
                EXPECT_EQ(Fill(s, &rect, colour), cases[i].result) << "case " << i;
                ForEachPixel(s, [&](int x, int y, WORD& p) {
                    ASSERT_EQ(p, Inside(cases[i].filled, x, y) ? colour : 0)
                        << "case " << i << " padding " << padding << " at " << x << "," << y;
                });
            }
        }
}

// Along a row and down a column a stretch walks the source in order, from its first pixels to
// its last, skipping or repeating no more than the scale requires.
TEST_F(BltTest, StretchesWalkTheWholeSourceInOrder) {
    LPDIRECTDRAWSURFACE4 source = Plain(700, 60);
    ASSERT_EQ(
        ForEachPixel(source, [](int x, int y, WORD& p) { p = static_cast<WORD>(x | y << 10); }),
        DD_OK);
    const struct {
        RECT from, to;
    } cases[] = {
        {{0, 0, 700, 60}, {49, 1, 750, 62}}, {{0, 0, 700, 60}, {0, 0, 800, 600}},
        {{0, 0, 700, 60}, {3, 5, 353, 35}},  {{20, 10, 27, 13}, {0, 0, 3, 2}},
        {{20, 10, 27, 13}, {0, 0, 700, 59}}, {{1, 2, 700, 60}, {100, 100, 101, 101}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        RECT from = cases[i].from, to = cases[i].to;
        ASSERT_EQ(back->Blt(&to, source, &from, DDBLT_WAIT, nullptr), DD_OK) << "case " << i;
        const std::vector<WORD> pixels = Pixels(back);
        for (bool across : {true, false}) {
            // A row gives the source columns, a column the source rows.
            const LONG first = across ? from.left : from.top;
            const LONG size = (across ? from.right : from.bottom) - first;
            const LONG n = across ? to.right - to.left : to.bottom - to.top;
            const LONG most = (size + n - 1) / n; // the largest step the scale allows
            std::vector<LONG> seen;
            for (LONG k = 0; k < n; ++k) {
                const WORD p =
                    pixels[(to.top + (across ? 0 : k)) * 800 + to.left + (across ? k : 0)];
                seen.push_back(across ? (p & 0x3FF) : (p >> 10));
            }
            EXPECT_LT(seen.front() - first, most) << "case " << i << (across ? " row" : " column");
            EXPECT_GE(seen.back() - first, size - most) << "case " << i;
            for (size_t k = 1; k < seen.size(); ++k)
                ASSERT_TRUE(seen[k] >= seen[k - 1] && seen[k] - seen[k - 1] <= most)
                    << "case " << i << (across ? " column " : " row ") << k;
        }
    }
    RECT outside = {1, 0, 701, 60};
    EXPECT_EQ(back->Blt(nullptr, source, &outside, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(BltTest, SameSizeCopiesArePixelExactEvenWithinOneSurface) {
    scripted::SetPitchPadding(4);
    LPDIRECTDRAWSURFACE4 source = Plain(32, 16);
    LPDIRECTDRAWSURFACE4 dest = Plain(32, 16);
    ASSERT_EQ(ForEachPixel(source,
                           [](int x, int y, WORD& p) { p = static_cast<WORD>(x * 37 + y * 1009); }),
              DD_OK);
    const std::vector<WORD> original = Pixels(source);

    RECT from = {3, 2, 20, 11}, to = {5, 4, 22, 13};
    ASSERT_EQ(dest->Blt(&to, source, &from, DDBLT_WAIT, nullptr), DD_OK);
    // Overlapping, one pixel down and to the right: every pixel moves, none is smeared.
    RECT all = {0, 0, 31, 15}, shifted = {1, 1, 32, 16};
    ASSERT_EQ(source->Blt(&shifted, source, &all, DDBLT_WAIT, nullptr), DD_OK);

    ForEachPixel(dest, [&](int x, int y, WORD& p) {
        ASSERT_EQ(p, Inside(to, x, y) ? original[(y - 2) * 32 + x - 2] : 0) << x << "," << y;
    });
    ForEachPixel(source, [&](int x, int y, WORD& p) {
        ASSERT_EQ(p, original[x && y ? (y - 1) * 32 + x - 1 : y * 32 + x]) << x << "," << y;
    });
}

} // namespace
