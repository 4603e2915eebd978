// Turning a 5-6-5 page into the RGBA bytes a canvas takes.
#ifndef VANTOREL_PORT_WEB_PIXELS_H
#define VANTOREL_PORT_WEB_PIXELS_H

#include "host.h"

#include <cstdint>
#include <vector>

namespace webpixels {

// Called by the host once: every 5-6-5 value as an opaque RGBA pixel (bytes R, G, B, A in
// memory order; widen565.h).
std::vector<uint32_t> MakeTable();

// Called by the host's flip: the page into `out`, width x height pixels with no gaps between
// rows.
void ToRgba(const PortRows& page, int width, int height, const std::vector<uint32_t>& table,
            uint32_t* out);

} // namespace webpixels

#endif
