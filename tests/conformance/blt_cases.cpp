// Blt: colour fills of rectangles in, on and beyond a surface's edges, and copies that
// stretch, shrink or reach outside their source, as the frame draws the title.
#include "harness.h"

namespace {

constexpr WORD Magenta = 0xF81F;
constexpr WORD Unwritten = 0xFFFF; // never a value of the copies' source pattern

struct FillCase {
    const char* name;
    RECT rect;
};

// On the 800 x 600 back buffer. Every edge is checked on its own, so each has a rectangle
// leaving by it.
const FillCase backFills[] = {
    {"fill.inside", {10, 10, 20, 20}},
    {"fill.whole-as-rect", {0, 0, 800, 600}}, // touching every edge
    {"fill.past-right", {750, 10, 850, 20}},
    {"fill.past-left", {-5, 10, 5, 20}},
    {"fill.past-bottom", {10, 590, 20, 610}},
    {"fill.past-top", {10, -5, 20, 5}},
    {"fill.far-away", {5000, 5000, 5010, 5010}}, // wholly outside
    {"fill.empty-width", {10, 10, 10, 20}},
    {"fill.empty-height", {10, 10, 20, 10}},
    {"fill.inverted-x", {20, 10, 10, 20}},
    {"fill.inverted-y", {10, 20, 20, 10}},
};

void RunFill(const char* name, Surface s, RECT* rect) {
    Fill(s, nullptr, 0);
    const HRESULT result = Fill(s, rect, Magenta);
    Case(name, rect ? "Blt(colour fill " + Rect(*rect) + ")" : "Blt(colour fill, no rect)", result,
         [s] { return "filled " + Describe(Count(s, Magenta)); });
}

// The copies' source: each pixel names its own place, x mod 512 and y below 128.
WORD SourcePattern(int x, int y) {
    return static_cast<WORD>((x & 0x1FF) | (y << 9));
}

WORD Blank(int, int) {
    return Unwritten;
}

std::string Place(WORD pixel) {
    return Text("%d,%d", pixel & 0x1FF, pixel >> 9);
}

// A copy's result in the destination: the box it wrote and the source places its corners
// came from. Which columns and rows a stretch repeats is the port's own rounding, checked by
// its unit tests; the two sides round differently (divergences.txt).
std::string CopyState(Surface dest) {
    const Census written = CountOther(dest, Unwritten);
    const std::string state = "wrote " + Describe(written);
    const Pixels pixels = ReadPixels(dest);
    if (written.count <= 0 || !Readable(pixels))
        return state;
    const RECT b = written.box;
    return state + "; corners " + Place(PixelOf(pixels, b.left, b.top)) + " " +
           Place(PixelOf(pixels, b.right - 1, b.bottom - 1));
}

struct CopyCase {
    const char* name;
    RECT from;
    RECT to;
};

// From the 700 x 120 title-like source to the back buffer. The rectangles are checked as the
// fills' are, the source's against its own surface.
const CopyCase copies[] = {
    {"copy.title-stretch", {0, 0, 700, 120}, {49, 1, 750, 122}},
    {"copy.half-size", {0, 0, 700, 120}, {0, 0, 350, 60}},
    {"copy.part", {100, 20, 140, 40}, {10, 10, 50, 30}},
    {"copy.source-wider", {0, 0, 800, 120}, {0, 0, 800, 120}},
    {"copy.source-before", {-10, 0, 690, 120}, {0, 0, 700, 120}},
    {"copy.source-empty", {10, 10, 10, 20}, {0, 0, 10, 10}},
    {"copy.dest-past-right", {0, 0, 700, 120}, {400, 0, 1100, 120}},
};

} // namespace

void FillCases(Stage& stage) {
    for (const FillCase& c : backFills) {
        RECT rect = c.rect;
        RunFill(c.name, stage.back, &rect);
    }
    RunFill("fill.no-rect", stage.back, nullptr);

    Fill(stage.back, nullptr, 0);
    Case("fill.no-effects", "Blt(colour fill, no DDBLTFX)",
         stage.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, nullptr),
         [&] { return "changed " + Describe(CountOther(stage.back, 0)); });

    // On a 64 x 32 off-screen surface, like the title's: its own edges count, not the screen's.
    Surface plain = nullptr;
    if (CreatePlain(stage.dd, 64, 32, &plain) != DD_OK) {
        Report("fill.plain", "CreateSurface(64 x 32)", "failed", "-");
        return;
    }
    RECT leaving = {60, 10, 70, 20};
    RunFill("fill.plain-past-right", plain, &leaving);
    RunFill("fill.plain-no-rect", plain, nullptr);
    plain->Release();
}

void StretchCases(Stage& stage) {
    Surface title = nullptr;
    if (CreatePlain(stage.dd, 700, 120, &title) != DD_OK || !Paint(title, SourcePattern)) {
        Report("copy.source", "CreateSurface(700 x 120)", "failed", "-");
        return;
    }
    const State written = [&] { return CopyState(stage.back); };
    for (const CopyCase& c : copies) {
        Paint(stage.back, Blank);
        RECT from = c.from;
        RECT to = c.to;
        Case(c.name, "Blt(" + Rect(c.from) + " to " + Rect(c.to) + ")",
             stage.back->Blt(&to, title, &from, DDBLT_WAIT, nullptr), written);
    }
    Paint(stage.back, Blank);
    Case("copy.no-rects", "Blt(whole source to whole back buffer)",
         stage.back->Blt(nullptr, title, nullptr, DDBLT_WAIT, nullptr), written);
    Case("copy.no-source", "Blt(no source, no fill)",
         stage.back->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr));

    // Within one surface, overlapping: the source is read as it was before the copy.
    Paint(stage.back, SourcePattern);
    RECT from = {0, 0, 100, 100};
    RECT to = {50, 50, 150, 150};
    Case("copy.overlapping", "Blt(" + Rect(from) + " to " + Rect(to) + " on itself)",
         stage.back->Blt(&to, stage.back, &from, DDBLT_WAIT, nullptr),
         [&] { return "(149,149) came from " + Place(PixelOf(ReadPixels(stage.back), 149, 149)); });
    title->Release();
}
