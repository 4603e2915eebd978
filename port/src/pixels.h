// The pixel work behind Blt: fills and nearest-neighbour stretch copies on 16-bit rows.
// Rectangles are already checked by the caller: they lie within their surfaces. Private to port/.
#ifndef VANTOREL_PORT_PIXELS_H
#define VANTOREL_PORT_PIXELS_H

#include "host.h"

namespace port {

// Called by Blt with DDBLT_COLORFILL: every pixel of `area` becomes `colour`.
void FillPixels(const PortRows& dest, const RECT& area, WORD colour);

// Called by Blt for a copy: `from` of the source is scaled onto `to` of the destination.
// Source and destination must not overlap.
void StretchPixels(const PortRows& source, const RECT& from, const PortRows& dest, const RECT& to);

} // namespace port

#endif
