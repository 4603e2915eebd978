#include "web_pixels.h"

namespace webpixels {

std::vector<uint32_t> MakeTable() {
    std::vector<uint32_t> table(65536);
    for (uint32_t p = 0; p < table.size(); ++p) {
        const uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
        const uint32_t r = (r5 << 3) | (r5 >> 2);
        const uint32_t g = (g6 << 2) | (g6 >> 4);
        const uint32_t b = (b5 << 3) | (b5 >> 2);
        // WebAssembly is little-endian: the lowest byte is the first in memory.
        table[p] = r | (g << 8) | (b << 16) | 0xFF000000u;
    }
    return table;
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
