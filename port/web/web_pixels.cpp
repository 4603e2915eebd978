#include "web_pixels.h"

#include "widen565.h"

namespace webpixels {

std::vector<uint32_t> MakeTable() {
    // WebAssembly is little-endian: the lowest byte is the first in memory.
    return WideningTable(
        [](uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (b << 16) | 0xFF000000u; });
}

void ToRgba(const WORD* pixels, LONG pitch, int width, int height,
            const std::vector<uint32_t>& table, uint32_t* out) {
    const uint32_t* lookup = table.data();
    for (int y = 0; y < height; ++y) {
        const WORD* row = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(pixels) +
                                                        static_cast<size_t>(y) * pitch);
        for (int x = 0; x < width; ++x)
            *out++ = lookup[row[x]];
    }
}

} // namespace webpixels
