// A 5-6-5 pixel as a screen's 8-bit channels, for the hosts' conversion tables.
#ifndef VANTOREL_PORT_WIDEN565_H
#define VANTOREL_PORT_WIDEN565_H

#include <cstdint>
#include <vector>

// Every 5-6-5 value, each channel widened by repeating its top bits (31 -> 255, 63 -> 255,
// 0 -> 0), as pack(red, green, blue) lays it out for the screen.
template <class Pack> std::vector<uint32_t> WideningTable(Pack pack) {
    std::vector<uint32_t> table(65536);
    for (uint32_t p = 0; p < table.size(); ++p) {
        const uint32_t r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
        table[p] = pack(static_cast<uint8_t>((r << 3) | (r >> 2)),
                        static_cast<uint8_t>((g << 2) | (g >> 4)),
                        static_cast<uint8_t>((b << 3) | (b >> 2)));
    }
    return table;
}

#endif
