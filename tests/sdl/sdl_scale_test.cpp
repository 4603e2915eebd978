// The software path's geometry and pixel conversion.
#include "sdl_scale.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Letterbox, KeepsThePictureShapeCentredInAnyWindow) {
    struct Case {
        int windowWidth, windowHeight;
        SDL_Rect expected;
    } cases[] = {
        {800, 600, {0, 0, 800, 600}},       // the mode itself: 1:1
        {1024, 768, {0, 0, 1024, 768}},     // same shape, larger
        {1920, 1080, {240, 0, 1440, 1080}}, // wide: bars left and right
        {1366, 768, {171, 0, 1024, 768}},   // wide, odd margin
        {800, 900, {0, 150, 800, 600}},     // tall: bars above and below
        {640, 480, {0, 0, 640, 480}},       // smaller than the mode
        {1, 1, {0, 0, 1, 1}},               // never an empty picture
        {0, 600, {0, 0, 0, 0}},             // no window
    };
    int n = 0;
    for (const Case& c : cases) {
        SDL_Rect r = sdlscale::Letterbox(800, 600, c.windowWidth, c.windowHeight);
        EXPECT_EQ(r.x, c.expected.x) << "case " << n;
        EXPECT_EQ(r.y, c.expected.y) << "case " << n;
        EXPECT_EQ(r.w, c.expected.w) << "case " << n;
        EXPECT_EQ(r.h, c.expected.h) << "case " << n;
        ++n;
    }
}

TEST(SourceIndices, MapEveryTargetPixelToTheSourcePixelUnderItsCentre) {
    EXPECT_EQ(sdlscale::SourceIndices(4, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(sdlscale::SourceIndices(3, 6), (std::vector<int>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(sdlscale::SourceIndices(6, 3), (std::vector<int>{1, 3, 5}));
    EXPECT_TRUE(sdlscale::SourceIndices(800, 0).empty());
    // Whatever the scale, the indices climb from the first source pixel to the last.
    for (int count : {1, 599, 600, 601, 1080, 2160}) {
        std::vector<int> rows = sdlscale::SourceIndices(600, count);
        ASSERT_EQ(static_cast<int>(rows.size()), count);
        EXPECT_GE(rows.front(), 0) << count;
        EXPECT_LE(rows.back(), 599) << count;
        for (int i = 1; i < count; ++i)
            ASSERT_LE(rows[i - 1], rows[i]) << count << " at " << i;
        if (count >= 600) {
            EXPECT_EQ(rows.front(), 0) << count;
            EXPECT_EQ(rows.back(), 599) << count;
        }
    }
}

TEST(MakeTable, WidensEachChannelByRepeatingItsTopBitsInTheTargetLayout) {
    struct Case {
        WORD pixel;
        Uint8 r, g, b;
    } cases[] = {
        {0x0000, 0, 0, 0},   {0xFFFF, 255, 255, 255}, {0xF800, 255, 0, 0}, {0x07E0, 0, 255, 0},
        {0x001F, 0, 0, 255}, {0xA514, 165, 162, 165}, {0x0FC0, 8, 251, 0}, {0x0821, 8, 4, 8},
    };
    for (Uint32 format : {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888}) {
        SDL_PixelFormat* f = SDL_AllocFormat(format);
        ASSERT_NE(f, nullptr);
        std::vector<Uint32> table = sdlscale::MakeTable(f);
        int n = 0;
        for (const Case& c : cases) {
            Uint8 r, g, b;
            SDL_GetRGB(table[c.pixel], f, &r, &g, &b);
            EXPECT_EQ(r, c.r) << SDL_GetPixelFormatName(format) << " case " << n;
            EXPECT_EQ(g, c.g) << SDL_GetPixelFormatName(format) << " case " << n;
            EXPECT_EQ(b, c.b) << SDL_GetPixelFormatName(format) << " case " << n;
            ++n;
        }
        SDL_FreeFormat(f);
    }
}

// A 4 x 2 page in a padded row, drawn through an identity table.
struct SmallPage {
    static constexpr int width = 4, height = 2, pitch = 12; // 4 bytes of padding per row
    std::vector<WORD> memory = std::vector<WORD>(pitch / 2 * height, 0xDEAD);
    std::vector<Uint32> table = std::vector<Uint32>(65536);
    SmallPage() {
        for (Uint32 i = 0; i < table.size(); ++i)
            table[i] = i;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                memory[y * pitch / 2 + x] = static_cast<WORD>(10 * y + x + 1);
    }
};

TEST(DrawPage, CopiesRowsOneToOneAndScalesIntoItsRectangleOnly) {
    SmallPage page;
    {
        // 1:1 at an offset: the pitch padding never shows, the border stays as it was.
        const int tw = 6, th = 4;
        std::vector<Uint32> target(tw * th, 7);
        SDL_Rect into = {1, 1, 4, 2};
        sdlscale::DrawPage(page.memory.data(), SmallPage::pitch, page.table,
                           sdlscale::SourceIndices(4, 4), sdlscale::SourceIndices(2, 2),
                           reinterpret_cast<Uint8*>(target.data()), tw * 4, into);
        std::vector<Uint32> expected = {7, 7,  7,  7,  7,  7, //
                                        7, 1,  2,  3,  4,  7, //
                                        7, 11, 12, 13, 14, 7, //
                                        7, 7,  7,  7,  7,  7};
        EXPECT_EQ(target, expected);
    }
    {
        // Twice the size: every pixel becomes a 2 x 2 block, repeated rows included.
        const int tw = 8, th = 4;
        std::vector<Uint32> target(tw * th, 7);
        SDL_Rect into = {0, 0, 8, 4};
        sdlscale::DrawPage(page.memory.data(), SmallPage::pitch, page.table,
                           sdlscale::SourceIndices(4, 8), sdlscale::SourceIndices(2, 4),
                           reinterpret_cast<Uint8*>(target.data()), tw * 4, into);
        std::vector<Uint32> expected = {1,  1,  2,  2,  3,  3,  4,  4,  //
                                        1,  1,  2,  2,  3,  3,  4,  4,  //
                                        11, 11, 12, 12, 13, 13, 14, 14, //
                                        11, 11, 12, 12, 13, 13, 14, 14};
        EXPECT_EQ(target, expected);
    }
}

} // namespace
