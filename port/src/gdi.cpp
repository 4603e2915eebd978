// GDI text on a surface's device context. Glyphs go straight into the surface's 5-6-5 memory,
// clipped to the surface; the device context lives in the surface (GetDC/ReleaseDC).
#include <windows.h>

#include "font8x16.h"
#include "host.h"
#include "internal.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// A glyph row as a mask over its eight pixels, leftmost first: all ones where the row is lit.
struct RowMask {
    WORD lane[port::GlyphWidth];
};

constexpr std::array<RowMask, 256> MakeRowMasks() {
    std::array<RowMask, 256> masks{};
    for (unsigned bits = 0; bits < 256; ++bits)
        for (int col = 0; col < port::GlyphWidth; ++col)
            masks[bits].lane[col] = (bits & (0x80u >> col)) ? 0xFFFF : 0;
    return masks;
}

constexpr std::array<RowMask, 256> rowMasks = MakeRowMasks();

// The context behind a handle, or null when it is not one that GetDC handed out and
// ReleaseDC has not taken back yet.
PortDC* HeldContext(HDC handle) {
    PortDC* dc = Impl(handle);
    if (!dc || !dc->surface || !dc->surface->dcHeld)
        return nullptr;
    return dc;
}

// One character cell whose top-left corner is at (x, y) on the surface. Only its columns
// [left, right) and rows [top, bottom) lie inside the surface and are touched.
void DrawCell(PortSurface& s, const unsigned char* glyph, long long x, long long y, int left,
              int right, int top, int bottom, WORD ink, WORD paper, bool opaque) {
    for (int row = top; row < bottom; ++row) {
        WORD* out = s.Row(static_cast<LONG>(y + row)) + (x + left);
        unsigned bits = glyph[row];
        if (opaque) {
            for (int col = left; col < right; ++col)
                *out++ = (bits & (0x80u >> col)) ? ink : paper;
            continue;
        }
        // Transparent: only the glyph's own pixels change, found lowest bit first (the
        // rightmost pixel), so the loop runs once per lit pixel.
        bits &= (0xFFu >> left) & (0xFFu << (port::GlyphWidth - right));
        while (bits) {
            out[port::GlyphWidth - 1 - __builtin_ctz(bits) - left] = ink;
            bits &= bits - 1;
        }
    }
}

// Eight 16-bit pixels in one register where the target has them (GCC and Clang vectors).
typedef WORD EightPixels __attribute__((vector_size(16)));

// A transparent cell that lies wholly within the surface's width: `count` glyph rows from
// `rows`, the first at `out`. Every line of every frame comes here, so each glyph row is blended
// in at once through its mask rather than pixel by pixel; unlit pixels are written back as
// they were.
void InkWholeCells(BYTE* out, LONG pitch, const unsigned char* rows, int count, WORD ink) {
    const EightPixels inks = EightPixels{} + ink;
    for (int row = 0; row < count; ++row, out += pitch) {
        if (!rows[row])
            continue;
        EightPixels mask, pixels;
        std::memcpy(&mask, rowMasks[rows[row]].lane, sizeof mask);
        std::memcpy(&pixels, out, sizeof pixels);
        pixels = (pixels & ~mask) | (inks & mask);
        std::memcpy(out, &pixels, sizeof pixels);
    }
}

// The part [low, high) of a cell of `size` pixels at `start` that lies within [0, limit).
void ClipCell(long long start, int size, int limit, int& low, int& high) {
    low = start < 0 ? static_cast<int>(-start < size ? -start : size) : 0;
    high =
        start + size > limit ? static_cast<int>(limit - start > low ? limit - start : low) : size;
}

// Sets one of the context's colours and gives back the one it replaces.
COLORREF ExchangeColour(const char* call, HDC handle, COLORREF PortDC::*field, COLORREF colour) {
    if (port::Enter(call, handle, {colour}))
        return CLR_INVALID;
    PortDC* dc = HeldContext(handle);
    if (!dc)
        return CLR_INVALID;
    const COLORREF previous = dc->*field;
    dc->*field = colour;
    return previous;
}

} // namespace

COLORREF SetTextColor(HDC handle, COLORREF colour) {
    return ExchangeColour("SetTextColor", handle, &PortDC::textColour, colour);
}

COLORREF SetBkColor(HDC handle, COLORREF colour) {
    return ExchangeColour("SetBkColor", handle, &PortDC::bkColour, colour);
}

int SetBkMode(HDC handle, int mode) {
    if (port::Enter("SetBkMode", handle, {mode}))
        return 0;
    PortDC* dc = HeldContext(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
    if (port::Enter("TextOutA", handle, {x, y, length}, length > 0 ? text : nullptr))
        return FALSE;
    PortDC* dc = HeldContext(handle);
    if (!dc || length < 0 || (length > 0 && !text))
        return FALSE;
    PortSurface& s = *dc->surface;
    const int width = static_cast<int>(s.width);
    const int height = static_cast<int>(s.height);

    int top, bottom;
    ClipCell(y, port::GlyphHeight, height, top, bottom);
    if (top >= bottom)
        return TRUE;
    const WORD ink = ToPixel565(dc->textColour);
    const WORD paper = ToPixel565(dc->bkColour);
    const bool opaque = dc->bkMode == OPAQUE;
    for (int i = 0; i < length; ++i) {
        // 64-bit positions: a line far off to either side never overflows.
        const long long cellX =
            static_cast<long long>(x) + static_cast<long long>(i) * port::GlyphWidth;
        if (cellX >= width)
            break;
        const unsigned char* glyph = port::Glyph(static_cast<unsigned char>(text[i]));
        if (!opaque && cellX >= 0 && cellX + port::GlyphWidth <= width) {
            InkWholeCells(reinterpret_cast<BYTE*>(s.Row(static_cast<LONG>(y + top)) + cellX),
                          s.pitch, glyph + top, bottom - top, ink);
            continue;
        }
        int left, right;
        ClipCell(cellX, port::GlyphWidth, width, left, right);
        if (left < right)
            DrawCell(s, glyph, cellX, y, left, right, top, bottom, ink, paper, opaque);
    }
    return TRUE;
}
