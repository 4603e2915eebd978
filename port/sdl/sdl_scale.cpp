#include "sdl_scale.h"

#include "widen565.h"

#include <cstring>

namespace sdlscale {

SDL_Rect Letterbox(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return SDL_Rect{0, 0, 0, 0};
    long long w = windowWidth, h = windowHeight;
    // Whichever side fills the window first decides the scale; the other is rounded.
    if (w * pictureHeight <= h * pictureWidth)
        h = (w * pictureHeight * 2 + pictureWidth) / (2 * pictureWidth);
    else
        w = (h * pictureWidth * 2 + pictureHeight) / (2 * pictureHeight);
    if (w < 1)
        w = 1;
    if (h < 1)
        h = 1;
    return SDL_Rect{static_cast<int>((windowWidth - w) / 2),
                    static_cast<int>((windowHeight - h) / 2), static_cast<int>(w),
                    static_cast<int>(h)};
}

std::vector<Uint32> MakeTable(const SDL_PixelFormat* format) {
    return WideningTable(
        [format](Uint8 r, Uint8 g, Uint8 b) { return SDL_MapRGB(format, r, g, b); });
}

std::vector<int> SourceIndices(int sourceCount, int count) {
    std::vector<int> indices(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        indices[i] = static_cast<int>((2LL * i + 1) * sourceCount / (2LL * count));
    return indices;
}

void DrawPage(const PortRows& page, const std::vector<Uint32>& table,
              const std::vector<int>& columns, const std::vector<int>& rows, Uint8* target,
              int targetPitch, const SDL_Rect& into) {
    const Uint32* lookup = table.data();
    // The indices end at the rectangle's last column only when the page is as wide as the
    // rectangle; then every column maps to itself and the index table can be skipped.
    bool sameWidth = !columns.empty() && columns.back() == into.w - 1;
    Uint8* previous = nullptr;
    for (int y = 0; y < into.h; ++y) {
        Uint8* out = target + static_cast<ptrdiff_t>(into.y + y) * targetPitch + into.x * 4;
        if (previous && rows[y] == rows[y - 1]) {
            // Scaling up repeats rows: copy the one already converted.
            std::memcpy(out, previous, static_cast<size_t>(into.w) * 4);
            previous = out;
            continue;
        }
        const WORD* in = page.Row(rows[y]);
        Uint32* dst = reinterpret_cast<Uint32*>(out);
        if (sameWidth) {
            for (int x = 0; x < into.w; ++x)
                dst[x] = lookup[in[x]];
        } else {
            for (int x = 0; x < into.w; ++x)
                dst[x] = lookup[in[columns[x]]];
        }
        previous = out;
    }
}

} // namespace sdlscale
