// One line of text on the back buffer, transparent between the glyphs.
#ifndef VANTOREL_DISPLAY_TEXT_H
#define VANTOREL_DISPLAY_TEXT_H

#include <windows.h>

constexpr COLORREF Yellow = 0x0000FFFF;
constexpr COLORREF White = 0x00FFFFFF;
constexpr COLORREF LightGrey = 0x00CCCCCC;

// Called by GameFrame for each line: (x, y) is the top-left of the first character cell.
void PrintText(int x, int y, const char* text, COLORREF colour);

#endif
