// Fills and stretch copies. Both run several times in every frame (the clear, the paddles,
// the walls, the title), so fills go by memset or row copies, same-size copies are one memcpy
// per row, and a stretch works out its source columns once per blit in 32.32 fixed point:
// nothing is divided per pixel.
#include "pixels.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace port {
namespace {

// Part of a stretched row that takes consecutive source pixels: a slight stretch such as the
// title's 700 -> 701 has two runs a row and goes at memcpy speed.
struct Run {
    int32_t to;   // first destination column, from the rectangle's left edge
    int32_t from; // first source column
    int32_t length;
};

// Rebuilt by every stretch and kept between them, so that a frame allocates nothing.
std::vector<Run> runs;

// Nearest neighbour: destination pixel i of n samples the source at (i + 1/2) * size / n.
// Returns the first pixel's position in 32.32 fixed point and the step between pixels.
uint64_t FirstSample(int64_t size, int64_t n, uint64_t& step) {
    step = (static_cast<uint64_t>(size) << 32) / static_cast<uint64_t>(n);
    return step / 2;
}

void BuildRuns(const RECT& from, const RECT& to) {
    const int64_t width = int64_t{to.right} - to.left;
    uint64_t step = 0;
    uint64_t at = FirstSample(int64_t{from.right} - from.left, width, step);
    runs.clear();
    for (int32_t i = 0; i < width; ++i, at += step) {
        const int32_t column = from.left + static_cast<int32_t>(at >> 32);
        if (!runs.empty() && runs.back().from + runs.back().length == column)
            ++runs.back().length;
        else
            runs.push_back({i, column, 1});
    }
}

} // namespace

void FillPixels(const PortRows& dest, const RECT& area, WORD colour) {
    const size_t width = static_cast<size_t>(int64_t{area.right} - area.left);
    const size_t rowBytes = width * sizeof(WORD);
    WORD* first = dest.Row(area.top) + area.left;
    if ((colour >> 8) == (colour & 0xFF)) {
        // Black, white and every colour whose two bytes agree: memset, over whole rows at once
        // when the rows have no padding.
        if (static_cast<size_t>(dest.pitch) == rowBytes) {
            std::memset(first, colour & 0xFF,
                        rowBytes * static_cast<size_t>(int64_t{area.bottom} - area.top));
            return;
        }
        for (LONG y = area.top; y < area.bottom; ++y)
            std::memset(dest.Row(y) + area.left, colour & 0xFF, rowBytes);
        return;
    }
    // Four pixels per store for the first row, then the row is copied: the compiler does not
    // widen a loop of 16-bit stores by itself.
    const uint64_t four = colour * 0x0001000100010001ull;
    size_t x = 0;
    for (; x + 4 <= width; x += 4)
        std::memcpy(first + x, &four, sizeof four);
    for (; x < width; ++x)
        first[x] = colour;
    for (LONG y = area.top + 1; y < area.bottom; ++y)
        std::memcpy(dest.Row(y) + area.left, first, rowBytes);
}

void StretchPixels(const PortRows& source, const RECT& from, const PortRows& dest, const RECT& to) {
    const int64_t width = int64_t{to.right} - to.left;
    const size_t rowBytes = static_cast<size_t>(width) * sizeof(WORD);
    const bool sameWidth = int64_t{from.right} - from.left == int64_t{to.right} - to.left;
    const bool sameHeight = int64_t{from.bottom} - from.top == int64_t{to.bottom} - to.top;
    if (sameWidth && sameHeight) {
        const int64_t dx = int64_t{from.left} - to.left;
        const int64_t dy = int64_t{from.top} - to.top;
        for (LONG y = to.top; y < to.bottom; ++y)
            std::memcpy(dest.Row(y) + to.left,
                        source.Row(static_cast<LONG>(y + dy)) + (to.left + dx), rowBytes);
        return;
    }

    BuildRuns(from, to);
    uint64_t step = 0;
    uint64_t at = FirstSample(int64_t{from.bottom} - from.top, int64_t{to.bottom} - to.top, step);
    const WORD* lastSource = nullptr;
    const WORD* lastDest = nullptr;
    for (LONG y = to.top; y < to.bottom; ++y, at += step) {
        const WORD* in = source.Row(from.top + static_cast<LONG>(at >> 32));
        WORD* out = dest.Row(y) + to.left;
        if (in == lastSource) {
            // A source row used twice: the row just written is the same.
            std::memcpy(out, lastDest, rowBytes);
        } else {
            for (const Run& run : runs)
                std::memcpy(out + run.to, in + run.from,
                            static_cast<size_t>(run.length) * sizeof(WORD));
        }
        lastSource = in;
        lastDest = out;
    }
}

} // namespace port
