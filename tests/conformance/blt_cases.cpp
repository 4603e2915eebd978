// Blt: colour fills of rectangles in, on and beyond a surface's edges, and copies that
// stretch, shrink or reach outside their source, as the frame draws the title.
#include "harness.h"

#include <algorithm>

namespace {

constexpr WORD Magenta = 0xF81F;
constexpr WORD Unwritten = 0xFFFF; // never a value of the copies' source pattern

struct FillCase {
    const char* name;
    RECT rect;
};

// On the 800 x 600 back buffer.
const FillCase backFills[] = {
    {"fill.inside", {10, 10, 20, 20}},           {"fill.game-wall", {98, 143, 702, 145}},
    {"fill.last-pixel", {799, 599, 800, 600}},   {"fill.touch-left", {0, 10, 10, 20}},
    {"fill.touch-top", {10, 0, 20, 10}},         {"fill.touch-right", {790, 10, 800, 20}},
    {"fill.touch-bottom", {10, 590, 20, 600}},   {"fill.whole-as-rect", {0, 0, 800, 600}},
    {"fill.past-right", {750, 10, 850, 20}},     {"fill.past-left", {-5, 10, 5, 20}},
    {"fill.past-bottom", {10, 590, 20, 610}},    {"fill.past-top", {10, -5, 20, 5}},
    {"fill.around", {-1, -1, 801, 601}},         {"fill.beyond-right", {800, 10, 810, 20}},
    {"fill.beyond-bottom", {10, 600, 20, 610}},  {"fill.beyond-left", {-20, 10, -10, 20}},
    {"fill.far-away", {5000, 5000, 5010, 5010}}, {"fill.empty-width", {10, 10, 10, 20}},
    {"fill.empty-height", {10, 10, 20, 10}},     {"fill.inverted-x", {20, 10, 10, 20}},
    {"fill.inverted-y", {10, 20, 20, 10}},
};

// On a 64 x 32 off-screen surface, like the title's.
const FillCase plainFills[] = {
    {"fill.plain-inside", {10, 10, 20, 20}},
    {"fill.plain-touch-corner", {54, 22, 64, 32}},
    {"fill.plain-past-right", {60, 10, 70, 20}},
    {"fill.plain-beyond", {64, 0, 70, 32}},
};

void RunFill(const char* name, LPDIRECTDRAWSURFACE4 s, RECT* rect) {
    Fill(s, nullptr, 0);
    const HRESULT result = Fill(s, rect, Magenta);
    Report(name, rect ? "Blt(colour fill " + Rect(*rect) + ")" : "Blt(colour fill, no rect)",
           Name(result), "filled " + Describe(Count(s, Magenta)));
}

// The copies' source: each pixel names its own place, x mod 512 and y below 128.
WORD SourcePattern(int x, int y) {
    return static_cast<WORD>((x & 0x1FF) | (y << 9));
}

WORD Blank(int, int) {
    return Unwritten;
}

// A list of places, " none" when empty, and its first few with the count when long.
std::string Shorten(const std::string& places) {
    if (places.empty())
        return " none";
    if (places.size() <= 60)
        return places;
    const size_t cut = places.rfind(' ', 60);
    const long total = static_cast<long>(std::count(places.begin(), places.end(), ' '));
    return places.substr(0, cut) + Text(" ... (%ld)", total);
}

// A copy's result in the destination: the box it wrote, the source places its corners came
// from, and the first columns and rows that repeat the one before (a stretch) or skip one (a
// shrink), read along the box's top row and left column.
std::string CopyState(LPDIRECTDRAWSURFACE4 dest) {
    const Census written = CountOther(dest, Unwritten);
    std::string state = "wrote " + Describe(written);
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    if (written.count <= 0 || dest->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK)
        return state;
    auto at = [&](LONG x, LONG y) {
        return reinterpret_cast<WORD*>(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch)[x];
    };
    auto place = [&](LONG x, LONG y) { return Text("%d,%d", at(x, y) & 0x1FF, at(x, y) >> 9); };
    const RECT b = written.box;
    state += "; corners " + place(b.left, b.top) + " " + place(b.right - 1, b.bottom - 1);
    std::string repeats, skips;
    for (LONG x = b.left + 1; x < b.right; ++x) {
        const int step = ((at(x, b.top) & 0x1FF) - (at(x - 1, b.top) & 0x1FF) + 512) % 512;
        if (step == 0)
            repeats += Text(" x%ld", static_cast<long>(x));
        if (step > 1)
            skips += Text(" x%ld", static_cast<long>(x));
    }
    for (LONG y = b.top + 1; y < b.bottom; ++y) {
        const int step = (at(b.left, y) >> 9) - (at(b.left, y - 1) >> 9);
        if (step == 0)
            repeats += Text(" y%ld", static_cast<long>(y));
        if (step > 1)
            skips += Text(" y%ld", static_cast<long>(y));
    }
    dest->Unlock(nullptr);
    return state + "; repeats" + Shorten(repeats) + "; skips" + Shorten(skips);
}

struct CopyCase {
    const char* name;
    RECT from;
    RECT to;
};

// From the 700 x 120 title-like source to the back buffer.
const CopyCase copies[] = {
    {"copy.title-stretch", {0, 0, 700, 120}, {49, 1, 750, 122}},
    {"copy.same-size", {0, 0, 700, 120}, {50, 200, 750, 320}},
    {"copy.half-size", {0, 0, 700, 120}, {0, 0, 350, 60}},
    {"copy.part", {100, 20, 140, 40}, {10, 10, 50, 30}},
    {"copy.source-wider", {0, 0, 800, 120}, {0, 0, 800, 120}},
    {"copy.source-taller", {0, 0, 700, 121}, {0, 0, 700, 121}},
    {"copy.source-before", {-10, 0, 690, 120}, {0, 0, 700, 120}},
    {"copy.source-empty", {10, 10, 10, 20}, {0, 0, 10, 10}},
    {"copy.source-inverted", {20, 10, 10, 20}, {0, 0, 10, 10}},
    {"copy.dest-past-right", {0, 0, 700, 120}, {400, 0, 1100, 120}},
    {"copy.dest-past-top", {0, 0, 700, 120}, {0, -10, 700, 110}},
    {"copy.dest-beyond", {0, 0, 700, 120}, {800, 0, 1500, 120}},
    {"copy.dest-inverted", {0, 0, 700, 120}, {700, 0, 0, 120}},
};

} // namespace

void FillCases(Stage& stage) {
    for (const FillCase& c : backFills) {
        RECT rect = c.rect;
        RunFill(c.name, stage.back, &rect);
    }
    RunFill("fill.no-rect", stage.back, nullptr);

    Fill(stage.back, nullptr, 0);
    HRESULT result =
        stage.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, nullptr);
    Report("fill.no-effects", "Blt(colour fill, no DDBLTFX)", Name(result),
           "changed " + Describe(CountOther(stage.back, 0)));

    LPDIRECTDRAWSURFACE4 plain = nullptr;
    if (CreatePlain(stage.dd, 64, 32, &plain) != DD_OK) {
        Report("fill.plain", "CreateSurface(64 x 32)", "failed", "-");
        return;
    }
    for (const FillCase& c : plainFills) {
        RECT rect = c.rect;
        RunFill(c.name, plain, &rect);
    }
    RunFill("fill.plain-no-rect", plain, nullptr);
    plain->Release();
}

void StretchCases(Stage& stage) {
    LPDIRECTDRAWSURFACE4 title = nullptr;
    if (CreatePlain(stage.dd, 700, 120, &title) != DD_OK || !Paint(title, SourcePattern)) {
        Report("copy.source", "CreateSurface(700 x 120)", "failed", "-");
        return;
    }
    for (const CopyCase& c : copies) {
        Paint(stage.back, Blank);
        RECT from = c.from;
        RECT to = c.to;
        const HRESULT result = stage.back->Blt(&to, title, &from, DDBLT_WAIT, nullptr);
        Report(c.name, "Blt(" + Rect(c.from) + " to " + Rect(c.to) + ")", Name(result),
               CopyState(stage.back));
    }

    Paint(stage.back, Blank);
    HRESULT result = stage.back->Blt(nullptr, title, nullptr, DDBLT_WAIT, nullptr);
    Report("copy.no-rects", "Blt(whole source to whole back buffer)", Name(result),
           CopyState(stage.back));

    result = stage.back->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr);
    Report("copy.no-source", "Blt(no source, no fill)", Name(result), "-");

    // Within one surface, overlapping: the source is read as it was before the copy.
    Paint(stage.back, SourcePattern);
    RECT from = {0, 0, 100, 100};
    RECT to = {50, 50, 150, 150};
    result = stage.back->Blt(&to, stage.back, &from, DDBLT_WAIT, nullptr);
    const DWORD moved = PixelAt(stage.back, 149, 149);
    Report("copy.overlapping", "Blt(" + Rect(from) + " to " + Rect(to) + " on itself)",
           Name(result),
           Text("(149,149) came from %u,%u", static_cast<unsigned>(moved & 0x1FF),
                static_cast<unsigned>(moved >> 9)));
    title->Release();
}
