#include "web_pixels.h"

#include "widen565.h"

namespace webpixels {

std::vector<uint32_t> MakeTable() {
    // WebAssembly is little-endian: the lowest byte is the first in memory.
    return WideningTable(
        [](uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (b << 16) | 0xFF000000u; });
}

void ToRgba(const PortRows& page, int width, int height, const std::vector<uint32_t>& table,
            uint32_t* out) {
    const uint32_t* lookup = table.data();
    for (int y = 0; y < height; ++y) {
        const WORD* row = page.Row(y);
        for (int x = 0; x < width; ++x)
            *out++ = lookup[row[x]];
    }
}

} // namespace webpixels
