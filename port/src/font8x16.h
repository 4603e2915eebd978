// The text font that TextOutA draws with: fixed cells of 8 x 16 pixels, compiled in.
#ifndef VANTOREL_PORT_FONT8X16_H
#define VANTOREL_PORT_FONT8X16_H

namespace port {

constexpr int GlyphWidth = 8;
constexpr int GlyphHeight = 16;

// Called by TextOutA: the 16 rows of a character's glyph, leftmost pixel in bit 7. Bytes
// outside ' ' ... '~' get a hollow box.
const unsigned char* Glyph(unsigned char c);

} // namespace port

#endif
