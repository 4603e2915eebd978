// Helpers shared by the frame driver's tests and the golden-frame tool.
#ifndef VANTOREL_TESTS_FRAME_SUPPORT_H
#define VANTOREL_TESTS_FRAME_SUPPORT_H

#include <windows.h>

#include "scripted_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Creates mainWindow and sets up the display as WinMain does, with the title file of the
// working directory. False when set-up failed.
bool StartDisplay();

// From the starting state (after ResetEverything): sets up the display and runs one frame.
const scripted::Page& RunFirstFrame();

// The back buffer through Lock, whole rows including any padding: Pixels().width is the
// pitch in pixels. Paint writes pattern(x, y) into every pixel, padding included.
scripted::Page BackBufferPixels();
void PaintBackBuffer(WORD (*pattern)(int x, int y));

// FinalTitle.bmp-style file of 700 x 120 in flat blocks of 100 x 40 (7 columns, 3 rows) whose
// colours survive the 5-6-5 truncation exactly.
void WriteBlockTitle(const char* path);
WORD BlockColour(int column, int row);

// A line of text as the tests expect it: 8 x 16 cells from (x, y) in the 5-6-5 colour `ink`.
struct TextLine {
    int x;
    int y;
    std::string text;
    WORD ink;
};
bool IsInk(const TextLine& line, int px, int py);

// `after` is `before` but for the lit glyph pixels of the lines, which hold their ink.
::testing::AssertionResult OnlyTextChanged(const scripted::Page& before,
                                           const scripted::Page& after,
                                           const std::vector<TextLine>& lines);

#endif
