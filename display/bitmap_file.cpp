// Reading the title file byte by byte through the C library's buffered stream.
#include <windows.h>

#include "display/bitmap_file.h"

#include <cstring>

namespace {

constexpr long InfoHeaderOffset = 14;
constexpr size_t InfoHeaderSize = 40;
// Kept on purpose: the pixels are taken from here whatever bfOffBits says.
constexpr long PixelOffset = 54;

LONG ReadLong(const BYTE* bytes) {
    const uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                           static_cast<uint32_t>(bytes[2]) << 16 |
                           static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<LONG>(value);
}

BYTE ByteOrZero(int c) {
    return c == EOF ? 0 : static_cast<BYTE>(c);
}

} // namespace

BitmapSize ReadBitmapSize(FILE* file) {
    BYTE header[InfoHeaderSize] = {};
    if (std::fseek(file, InfoHeaderOffset, SEEK_SET) == 0)
        std::fread(header, 1, sizeof header, file);
    // biSize, the planes, the bit count, the compression and the rest are not looked at.
    return {ReadLong(header + 4), ReadLong(header + 8)};
}

uint64_t PixelCount(BitmapSize size) {
    if (size.width <= 0 || size.height <= 0)
        return 0;
    return static_cast<uint64_t>(size.width) * static_cast<uint64_t>(size.height);
}

void ReadBitmapPixels(FILE* file, BitmapSize size, WORD* scratch) {
    const uint64_t count = PixelCount(size);
    uint64_t done = 0;
    // Kept on purpose: rows follow one another with no pad bytes skipped, so a width whose
    // rows a standard file pads comes out sheared.
    if (std::fseek(file, PixelOffset, SEEK_SET) == 0) {
        for (; done < count; ++done) {
            const int blue = std::fgetc(file), green = std::fgetc(file), red = std::fgetc(file);
            if (red == EOF) {
                // The file ends inside or before this pixel: what it had of it, the rest black.
                scratch[done++] = Pixel565(ByteOrZero(blue), ByteOrZero(green), 0);
                break;
            }
            scratch[done] =
                Pixel565(static_cast<BYTE>(blue), static_cast<BYTE>(green), static_cast<BYTE>(red));
        }
    }
    if (done < count)
        std::memset(scratch + done, 0, static_cast<size_t>(count - done) * sizeof(WORD));
}

void CopyBottomUp(const WORD* scratch, BitmapSize size, void* surface, LONG pitch) {
    if (PixelCount(size) == 0)
        return;
    const size_t width = static_cast<size_t>(size.width);
    const size_t height = static_cast<size_t>(size.height);
    const size_t rowWords = static_cast<size_t>(pitch / 2);
    WORD* pixels = static_cast<WORD*>(surface);
    for (size_t row = 0; row < height; ++row)
        std::memcpy(pixels + row * rowWords, scratch + (height - 1 - row) * width,
                    width * sizeof(WORD));
}
