// The first frame from the starting state, as a whole page and item by item.
#include <windows.h>

#include "display/device.h"
#include "frame_support.h"
#include "host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// With the game's own title (bin/ is the working directory), byte for byte. After a change
// that is meant to alter the first frame, scripts/make-golden writes the file again.
TEST(GoldenFrameTest, TheFirstFrameIsTheGoldenOne) {
    ResetEverything();
    const scripted::Page& page = RunFirstFrame();
    const std::string golden = ReadFile(VANTOREL_GOLDEN_DIR "/first-frame.rgb565");
    ASSERT_EQ(golden.size(), 800u * 600u * 2u) << "tests/frame/golden/first-frame.rgb565";
    ASSERT_EQ(page.pixels.size(), 800u * 600u);
    int wrong = 0;
    for (size_t i = 0; i < page.pixels.size(); ++i) {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&golden[2 * i]);
        const WORD want = static_cast<WORD>(bytes[0] | bytes[1] << 8);
        if (page.pixels[i] != want && wrong++ < 3)
            ADD_FAILURE() << "(" << i % 800 << ", " << i / 800 << ") is " << page.pixels[i]
                          << ", not " << want;
    }
    EXPECT_EQ(wrong, 0);
    ReleaseDirectDraw();
    EXPECT_EQ(PortLiveObjects(), 0);
}

// With a title of flat blocks: every item at exactly its rectangle (right and bottom edges
// outside), black elsewhere in the field, the title stretched into (49, 1)-(750, 122).
TEST(GoldenFrameTest, TheFirstFrameDrawsEachItemAtItsRectangle) {
    ResetEverything();
    TempDir dir;
    WriteBlockTitle("FinalTitle.bmp");
    const scripted::Page& page = RunFirstFrame();
    ASSERT_EQ(page.pixels.size(), 800u * 600u);

    const RECT walls[] = {
        {98, 143, 702, 145}, {700, 145, 702, 560}, {98, 560, 702, 562}, {98, 145, 100, 560}};
    const RECT green[] = {{380, 550, 420, 555}, {380, 150, 420, 155}, {395, 347, 400, 352}};
    auto in = [](const RECT& r, int x, int y) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    };
    int wrong = 0;
    for (int y = 143; y < 562; ++y) {
        for (int x = 98; x < 702; ++x) {
            WORD want = 0x0000;
            for (const RECT& r : walls)
                want = in(r, x, y) ? 0xA514 : want;
            for (const RECT& r : green)
                want = in(r, x, y) ? 0x0FC0 : want;
            if (page.At(x, y) != want && wrong++ < 3)
                ADD_FAILURE() << "(" << x << ", " << y << ") is " << page.At(x, y) << ", not "
                              << want;
        }
    }
    EXPECT_EQ(wrong, 0);

    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 7; ++column)
            EXPECT_EQ(page.At(99 + column * 100, 21 + row * 40), BlockColour(column, row))
                << "block " << column << ", " << row;
    EXPECT_EQ(page.At(49, 1), BlockColour(0, 0));
    EXPECT_EQ(page.At(749, 121), BlockColour(6, 2));
    for (int x = 40; x < 760; ++x)
        EXPECT_TRUE(page.At(x, 0) == 0 && page.At(x, 122) == 0) << x;
    for (int y = 0; y < 125; ++y)
        EXPECT_TRUE(page.At(48, y) == 0 && page.At(750, y) == 0) << y;
    ReleaseDirectDraw();
    EXPECT_EQ(PortLiveObjects(), 0);
}

} // namespace
