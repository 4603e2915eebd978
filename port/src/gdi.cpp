// GDI text on a surface's device context (GetDC/ReleaseDC), its glyphs straight into the
// surface's 5-6-5 memory; and the window's context, that pages are copied into.
#include <windows.h>

#include "font8x16.h"
#include "internal.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

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

int stretchMode = 1; // the window context's, BLACKONWHITE as GDI starts it

} // namespace

COLORREF SetTextColor(HDC handle, COLORREF colour) {
    return ExchangeColour(__func__, handle, &PortDC::textColour, colour);
}

COLORREF SetBkColor(HDC handle, COLORREF colour) {
    return ExchangeColour(__func__, handle, &PortDC::bkColour, colour);
}

int SetBkMode(HDC handle, int mode) {
    if (port::Enter(__func__, nullptr, {mode}))
        return 0;
    PortDC* dc = Impl(handle);
    const int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

// Transparent text, the only kind the game sets, in cells wholly on the surface: a cell that
// would leave the surface is left out.
BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
    if (port::Enter(__func__, nullptr, {x, y},
                    {std::string_view(text, static_cast<size_t>(length))}))
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

// The window's context is its handle: nothing is drawn into it but whole pages.
HDC GetDC(HWND window) {
    return port::Enter(__func__) ? nullptr : reinterpret_cast<HDC>(window);
}

int ReleaseDC(HWND, HDC) {
    return port::Enter(__func__) ? 0 : 1;
}

int SetStretchBltMode(HDC, int mode) {
    return port::Enter(__func__, nullptr, {mode}) ? 0 : std::exchange(stretchMode, mode);
}

// The back buffer copied whole into the window: the host scales it to the window as a page.
BOOL StretchBlt(HDC, int x, int y, int width, int height, HDC source, int, int, int, int, DWORD) {
    port::Enter(__func__, nullptr, {x, y, width, height}); // its answer is not looked at
    const PortSurface* page = Impl(source)->surface;
    port::Host().present(page->Rows(), static_cast<int>(page->width),
                         static_cast<int>(page->height));
    return TRUE;
}

// The bars beside the picture: the host keeps them black.
BOOL PatBlt(HDC, int x, int y, int width, int height, DWORD rop) {
    return port::Enter(__func__, nullptr, {x, y, width, height, rop}) == 0;
}
