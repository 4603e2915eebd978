#include <windows.h>
#include <ddraw.h>

#include "display/text.h"

#include "display/surfaces.h"

#include <cstring>

namespace {
constexpr COLORREF Magenta = 0x00FF00FF; // set as the background, never seen: TRANSPARENT
} // namespace

void PrintText(int x, int y, const char* text, COLORREF colour) {
    // Without a device context there is nothing to draw with: the line is missing from this
    // frame and the frame goes on.
    HDC dc = nullptr;
    if (FAILED(backBuffer->GetDC(&dc)) || !dc)
        return;
    const COLORREF oldTextColour = SetTextColor(dc, colour);
    const COLORREF oldBkColour = SetBkColor(dc, Magenta);
    const int oldBkMode = SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
    SetTextColor(dc, oldTextColour);
    SetBkColor(dc, oldBkColour);
    SetBkMode(dc, oldBkMode);
    backBuffer->ReleaseDC(dc);
}
