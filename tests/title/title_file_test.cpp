// The title file's pixels when the file ends early, at every byte it could end at.
#include "display/bitmap_file.h"
#include "support/test_support.h"

#include <cstdio>
#include <vector>

namespace {

// The 3 x 2 image's pixel bytes, blue, green, red, each byte different.
const std::string PixelBytes =
    "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB\xCC\xDD\xEE\xF0\x0F\x1E\x2D";
constexpr BitmapSize Size = {3, 2};
constexpr int Pixels = 6;

// The pixel from the file's first `length` bytes: the bytes the file has, zero for the rest.
WORD ExpectedPixel(int pixel, size_t length) {
    BYTE bytes[3] = {};
    for (int i = 0; i < 3; ++i) {
        const size_t at = 54 + 3 * static_cast<size_t>(pixel) + i;
        if (at < length)
            bytes[i] = static_cast<BYTE>(PixelBytes[at - 54]);
    }
    return Pixel565(bytes[0], bytes[1], bytes[2]);
}

TEST(TitleFile, EveryPixelIsWrittenWhereverTheFileEnds) {
    const std::string whole = std::string(54, '\0') + PixelBytes;
    for (size_t length = 20; length <= whole.size(); ++length) {
        SCOPED_TRACE("a file of " + std::to_string(length) + " bytes");
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(whole.data(), 1, length, file), length);
        std::vector<WORD> scratch(Pixels, 0xDEAD); // a value these bytes never make
        ReadBitmapPixels(file, Size, scratch.data());
        std::fclose(file);
        for (int pixel = 0; pixel < Pixels; ++pixel)
            EXPECT_EQ(scratch[pixel], ExpectedPixel(pixel, length)) << "pixel " << pixel;
    }
}

} // namespace
