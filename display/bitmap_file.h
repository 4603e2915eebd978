// The title file's bytes: its size from the info header and its pixels as 5-6-5 values.
// Only the layout the game ships is read: 24-bit pixels from offset 54, rows without pad bytes.
#ifndef VANTOREL_DISPLAY_BITMAP_FILE_H
#define VANTOREL_DISPLAY_BITMAP_FILE_H

#include <windows.h>

#include <cstdint>
#include <cstdio>

// The image size as the info header gives it, signed.
struct BitmapSize {
    LONG width;
    LONG height;
};

// One 24-bit pixel as 5-6-5: the top bits of each channel, the low bits dropped.
constexpr WORD Pixel565(BYTE blue, BYTE green, BYTE red) {
    return static_cast<WORD>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | (blue >> 3));
}

// Called by the title loader: biWidth and biHeight of the 40-byte info header at offset 14.
// Header bytes beyond the end of the file count as zero.
BitmapSize ReadBitmapSize(FILE* file);

// Called by the title loader: how many pixels to read and copy, 0 when a side is not positive.
uint64_t PixelCount(BitmapSize size);

// Called by the title loader: the pixels from offset 54 into scratch (PixelCount values), in
// file row order. Bytes beyond the end of the file count as zero, so missing pixels are black.
void ReadBitmapPixels(FILE* file, BitmapSize size, WORD* scratch);

// Called by the title loader: scratch into locked surface memory turned upside down, the last
// file row on top, rows `pitch` bytes apart. Bytes of a row beyond the width are left alone.
void CopyBottomUp(const WORD* scratch, BitmapSize size, void* surface, LONG pitch);

#endif
