// Putting a 5-6-5 page into a 32-bit window surface: the software path of the SDL2 host.
#ifndef VANTOREL_PORT_SDL_SCALE_H
#define VANTOREL_PORT_SDL_SCALE_H

#include "host.h"

#include <SDL.h>

#include <vector>

namespace sdlscale {

// Called by the host: the largest rectangle of the picture's shape, centred in the window.
SDL_Rect Letterbox(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// Called by the host: every 5-6-5 value as a pixel of this 32-bit format (widen565.h).
std::vector<Uint32> MakeTable(const SDL_PixelFormat* format);

// Called by the host: for each of `count` destination pixels, the source pixel it shows
// (nearest neighbour, sampled at the pixel's centre).
std::vector<int> SourceIndices(int sourceCount, int count);

// Called by the host: draws the page into `target` (pitch in bytes) scaled to `into`.
// `columns` and `rows` come from SourceIndices for the rectangle's width and height.
void DrawPage(const PortRows& page, const std::vector<Uint32>& table,
              const std::vector<int>& columns, const std::vector<int>& rows, Uint8* target,
              int targetPitch, const SDL_Rect& into);

} // namespace sdlscale

#endif
