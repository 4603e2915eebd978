// The pixel work behind Blt: fills and nearest-neighbour stretch copies on 16-bit rows.
// Rectangles are already checked by the caller: they lie within their surfaces. Private to port/.
#ifndef VANTOREL_PORT_PIXELS_H
#define VANTOREL_PORT_PIXELS_H

#include <windows.h>

namespace port {

// Where a 16-bit pixel array lives: its first row and the bytes from one row to the next.
struct PixelRows {
    BYTE* base;
    LONG pitch;
    WORD* Row(LONG y) const {
        return reinterpret_cast<WORD*>(base + static_cast<ptrdiff_t>(y) * pitch);
    }
};

// Called by Blt with DDBLT_COLORFILL: every pixel of `area` becomes `colour`.
void FillPixels(const PixelRows& dest, const RECT& area, WORD colour);

// Called by Blt for a copy: `from` of the source is scaled onto `to` of the destination.
// Source and destination must not overlap.
void StretchPixels(const PixelRows& source, const RECT& from, const PixelRows& dest,
                   const RECT& to);

} // namespace port

#endif
