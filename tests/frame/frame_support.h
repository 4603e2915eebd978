// Helpers shared by the frame driver's tests and the golden-frame tool.
#ifndef VANTOREL_TESTS_FRAME_SUPPORT_H
#define VANTOREL_TESTS_FRAME_SUPPORT_H

#include <windows.h>

#include "scripted_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

// Creates the game window as mainWindow and sets up the display as WinMain does, reading
// FinalTitle.bmp from the working directory. False when set-up failed.
bool StartDisplay();

// Gives back everything the display holds, title included.
void StopDisplay();

// From the starting state (call ResetEverything first): sets up the display and runs one
// frame. The page it presented.
const scripted::Page& RunFirstFrame();

// The back buffer's pixels, read through Lock: pixels[y * 800 + x].
std::vector<WORD> ReadBackBuffer();
// Overwrites the back buffer through Lock with pixel(x, y) = pattern(x, y), and the pixels
// of the row padding beyond the width (if the pitch has any) with PaddingPixel.
constexpr WORD PaddingPixel = 0x5A5A;
void PaintBackBuffer(WORD (*pattern)(int x, int y));
// Whether the row padding still holds PaddingPixel everywhere.
bool PaddingUntouched();

// A 24-bit bottom-up title file of 700 x 120 in flat blocks of 100 x 40: 7 columns and
// 3 rows, each its own colour, chosen so that the 5-6-5 truncation loses nothing.
void WriteBlockTitle(const std::string& path);
// The 5-6-5 colour of the block in column `column` (0-6) and row `row` (0-2).
WORD BlockColour(int column, int row);

// One line of text as the tests expect to see it: `ink` is its 5-6-5 colour.
struct TextLine {
    int x;
    int y;
    std::string text;
    WORD ink;
};

// Whether pixel (px, py) is a lit pixel of a glyph of the line, cells 8 x 16 from (x, y).
bool IsInk(const TextLine& line, int px, int py);

// `after` equals `before` but for the lit glyph pixels of the lines, which hold their ink.
// Both are 800 x 600 pixel arrays.
::testing::AssertionResult OnlyTextChanged(const std::vector<WORD>& before,
                                           const std::vector<WORD>& after,
                                           const std::vector<TextLine>& lines);

#endif
