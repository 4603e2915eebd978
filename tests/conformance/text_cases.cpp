// GDI text on the back buffer's device context, as PrintText draws the score and the help
// line. The two sides draw with different fonts, so a line says where ink and paper went and
// what colour they took, never how many pixels a glyph has.
#include "harness.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr WORD Ground = 0x0000;     // the cleared back buffer
constexpr WORD PaperPixel = 0xF81F; // magenta, the only paper used
constexpr COLORREF Yellow = 0x0000FFFF;
constexpr COLORREF LightGrey = 0x00CCCCCC;
constexpr COLORREF Magenta = 0x00FF00FF;
constexpr COLORREF White = 0x00FFFFFF;

struct TextCase {
    const char* name;
    int x;
    int y;
    const char* text;
    int length; // -1: the whole text
    COLORREF ink;
    COLORREF paper;
    int mode;
};

const TextCase lines[] = {
    {"text.transparent", 250, 125, "Score: 0", -1, Yellow, Magenta, TRANSPARENT},
    {"text.opaque", 10, 300, "Lives: 3", -1, White, Magenta, OPAQUE},
    // Ink whose channels lose bits on the way to 5-6-5.
    {"text.grey-ink", 165, 570, "ESC to quit", -1, LightGrey, Magenta, TRANSPARENT},
    // Lines the surface's edges cut, or that miss it altogether.
    {"text.past-left", -20, 400, "Level: 1", -1, White, Magenta, TRANSPARENT},
    {"text.past-bottom", 10, 590, "Level: 1", -1, White, Magenta, TRANSPARENT},
    {"text.beyond-right", 900, 10, "Level: 1", -1, White, Magenta, OPAQUE},
    // The length given, not the text's own, says what is drawn.
    {"text.empty", 10, 10, "", 0, White, Magenta, OPAQUE},
    {"text.part", 10, 10, "You Win!", 3, White, Magenta, OPAQUE},
};

// Where ink and paper went. The ink is the commonest colour that is neither the ground nor
// the paper (one side smooths its letters' edges with shades of it); the paper is the box it
// filled; and every pixel written should lie in the line's band, 16 rows from the given y.
std::string InkAndPaper(Surface s, const TextCase& c) {
    const Pixels pixels = ReadPixels(s);
    if (!Readable(pixels))
        return "unreadable";
    std::map<WORD, long> inks;
    Census paper;
    bool inBand = true;
    for (LONG y = 0; y < pixels.height; ++y)
        for (LONG x = 0; x < pixels.width; ++x) {
            const WORD p = PixelOf(pixels, x, y);
            if (p == Ground)
                continue;
            inBand = inBand && y >= c.y && y < c.y + 16 && x >= c.x;
            if (p == PaperPixel)
                Add(paper, x, y);
            else
                ++inks[p];
        }
    const auto commonest = std::max_element(
        inks.begin(), inks.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    std::string state = inks.empty() ? "no ink" : Text("ink %04X", commonest->first);
    state += paper.count ? Text("; paper from (%ld,%ld), %ld rows",
                                static_cast<long>(paper.box.left), static_cast<long>(paper.box.top),
                                static_cast<long>(paper.box.bottom - paper.box.top))
                         : std::string("; no paper");
    return state + (inBand ? "; all in the line's band" : "; outside the line's band");
}

std::string Colour(COLORREF colour) {
    return Text("%08lX", static_cast<unsigned long>(colour));
}

} // namespace

void TextCases(Stage& stage) {
    Surface s = stage.back;
    HDC dc = nullptr;

    // A fresh context's settings, as SetTextColor, SetBkColor and SetBkMode give them back.
    HRESULT got = s->GetDC(&dc);
    if (got != DD_OK) {
        Report("text.getdc", "GetDC", Name(got), "-");
        return;
    }
    Report("text.default-ink", "SetTextColor(yellow)", Colour(SetTextColor(dc, Yellow)), "-");
    Report("text.default-paper", "SetBkColor(magenta)", Colour(SetBkColor(dc, Magenta)), "-");
    Report("text.default-mode", "SetBkMode(TRANSPARENT)", Text("%d", SetBkMode(dc, TRANSPARENT)),
           "-");
    Report("text.mode-back", "SetBkMode(OPAQUE)", Text("%d", SetBkMode(dc, OPAQUE)), "-");
    Report("text.mode-invalid", "SetBkMode(7)", Text("%d", SetBkMode(dc, 7)),
           Text("then %d", SetBkMode(dc, OPAQUE)));
    s->ReleaseDC(dc);

    // The next context starts afresh.
    got = s->GetDC(&dc);
    Report("text.fresh-context", "SetTextColor(white)",
           got == DD_OK ? Colour(SetTextColor(dc, White)) : Name(got), "-");
    if (got == DD_OK)
        s->ReleaseDC(dc);

    for (const TextCase& c : lines) {
        Fill(s, nullptr, Ground);
        got = s->GetDC(&dc);
        if (got != DD_OK) {
            Report(c.name, "GetDC", Name(got), "-");
            continue;
        }
        SetTextColor(dc, c.ink);
        SetBkColor(dc, c.paper);
        SetBkMode(dc, c.mode);
        const int length = c.length < 0 ? static_cast<int>(std::strlen(c.text)) : c.length;
        const BOOL drawn = TextOutA(dc, c.x, c.y, c.text, length);
        s->ReleaseDC(dc);
        Report(c.name,
               Text("TextOutA(%d, %d, \"%.*s\", %s)", c.x, c.y, length, c.text,
                    c.mode == OPAQUE ? "opaque" : "transparent"),
               Bool(drawn), InkAndPaper(s, c));
    }

    // A context given back draws no more.
    if (s->GetDC(&dc) == DD_OK)
        s->ReleaseDC(dc);
    Fill(s, nullptr, Ground);
    const BOOL drawn = TextOutA(dc, 10, 10, "stale", 5);
    Report("text.released-context", "TextOutA(released context)", Bool(drawn),
           "changed " + Describe(CountOther(s, Ground)));
    Report("text.released-colour", "SetTextColor(released context)",
           Colour(SetTextColor(dc, White)), "-");
}
