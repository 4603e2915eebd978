// GDI text on a surface's device context. Glyphs go straight into the surface's 5-6-5 memory;
// the device context lives in the surface (GetDC/ReleaseDC).
#include <windows.h>

#include "font8x16.h"
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

// COLORREF (0x00BBGGRR) to a 5-6-5 pixel, by truncation as the display driver converts it.
WORD ToPixel565(COLORREF c) {
    const DWORD r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return static_cast<WORD>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

// Eight 16-bit pixels in one register where the target has them (GCC and Clang vectors).
typedef WORD EightPixels __attribute__((vector_size(16)));

// One cell, its top-left pixel at `out`. Every line of every frame comes here, so each glyph
// row is blended in at once through its mask rather than pixel by pixel; unlit pixels are
// written back as they were.
void InkCell(BYTE* out, LONG pitch, const unsigned char* rows, WORD ink) {
    const EightPixels inks = EightPixels{} + ink;
    for (int row = 0; row < port::GlyphHeight; ++row, out += pitch) {
        if (!rows[row])
            continue;
        EightPixels mask, pixels;
        std::memcpy(&mask, rowMasks[rows[row]].lane, sizeof mask);
        std::memcpy(&pixels, out, sizeof pixels);
        pixels = (pixels & ~mask) | (inks & mask);
        std::memcpy(out, &pixels, sizeof pixels);
    }
}

// Sets one of the context's colours and gives back the one it replaces.
COLORREF ExchangeColour(const char* call, HDC handle, COLORREF PortDC::*field, COLORREF colour) {
    if (port::Enter(call, nullptr, {colour}))
        return CLR_INVALID;
    PortDC* dc = Impl(handle);
    const COLORREF previous = dc->*field;
    dc->*field = colour;
    return previous;
}

} // namespace

COLORREF SetTextColor(HDC handle, COLORREF colour) {
    return ExchangeColour(__func__, handle, &PortDC::textColour, colour);
}

COLORREF SetBkColor(HDC handle, COLORREF colour) {
    return ExchangeColour(__func__, handle, &PortDC::bkColour, colour);
}

int SetBkMode(HDC handle, int mode) {
    if (port::Enter(__func__))
        return 0;
    PortDC* dc = Impl(handle);
    const int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

// Transparent text, the only kind the game sets, in cells wholly on the surface: a cell that
// would leave the surface is left out.
BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
    if (port::Enter(__func__, nullptr, {x}, {std::string_view(text, static_cast<size_t>(length))}))
        return FALSE;
    const PortDC* dc = Impl(handle);
    const PortSurface& s = *dc->surface;
    if (y < 0 || int64_t{y} + port::GlyphHeight > int64_t{s.height})
        return TRUE;
    const WORD ink = ToPixel565(dc->textColour);
    for (int i = 0; i < length; ++i) {
        // 64-bit positions: a line far off to either side never overflows.
        const int64_t cellX = int64_t{x} + int64_t{i} * port::GlyphWidth;
        if (cellX < 0 || cellX + port::GlyphWidth > int64_t{s.width})
            continue;
        InkCell(reinterpret_cast<BYTE*>(s.Rows().Row(y) + cellX), s.pitch,
                port::Glyph(static_cast<unsigned char>(text[i])), ink);
    }
    return TRUE;
}
