// What of the port's DirectDraw the conformance comparison (tests/conformance/) cannot see: rows
// padded as only the scripted host pads them, what reaches the host, failures the host makes,
// and how long objects live. The calls' results themselves are compared with the real platform
// there.
#include <windows.h>
#include <ddraw.h>

#include "support/test_support.h"

#include "test_hooks.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The pixels without row padding, [y * width + x], first set to paint(x, y) if given.
std::vector<WORD> Pixels(LPDIRECTDRAWSURFACE4 s, WORD (*paint)(int, int) = nullptr) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    std::vector<WORD> pixels;
    if (s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr) != DD_OK)
        return pixels;
    for (DWORD y = 0; y < d.dwHeight; ++y)
        for (DWORD x = 0; x < d.dwWidth; ++x) {
            WORD& p = reinterpret_cast<WORD*>(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch)[x];
            if (paint)
                p = paint(x, y);
            pixels.push_back(p);
        }
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
    return pixels;
}

// Every test: the game's exclusive 800 x 600 mode, two pages on padded rows, nothing left alive.
struct Port : ::testing::Test {
    void SetUp() override {
        ResetEverything();
        scripted::SetPitchPadding(6);
        LPDIRECTDRAW first = nullptr;
        ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
        ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)), DD_OK);
        first->Release();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "Port";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "Port", "Port", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
        ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
        held = {back, front};
    }
    void TearDown() override {
        for (LPDIRECTDRAWSURFACE4 s : held)
            s->Release();
        dd->Release();
        EXPECT_EQ(PortLiveObjects(), 0);
        EXPECT_FALSE(scripted::DisplayModeSet());
    }
    // An off-screen surface held to the end of the test, or null when refused as `expected`.
    LPDIRECTDRAWSURFACE4 Plain(DWORD width, DWORD height, HRESULT expected = DD_OK) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT; // no caps: off-screen and plain
        desc.dwWidth = width;
        desc.dwHeight = height;
        LPDIRECTDRAWSURFACE4 s = back; // anything but null: a refusal empties it
        EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), expected) << width << " x " << height;
        if (expected == DD_OK)
            held.push_back(s);
        return s;
    }
    static HRESULT Fill(LPDIRECTDRAWSURFACE4 s, RECT* rect, WORD colour) {
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = colour;
        return s->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
    HWND window = nullptr;
    LPDIRECTDRAW4 dd = nullptr;
    LPDIRECTDRAWSURFACE4 front = nullptr, back = nullptr;
    std::vector<LPDIRECTDRAWSURFACE4> held;
};

// Fills on padded rows, in a colour of two different bytes and one of two equal bytes (which a
// fill may write a byte at a time): exactly the rectangle changes. Rows without padding are the
// comparison's.
TEST_F(Port, FillsExactlyTheRectangleOnPaddedRows) {
    struct FillCase {
        RECT rect;
        const char* what;
    };
    const FillCase cases[] = {
        {{1, 5, 16, 8}, "a part reaching the right and bottom edges"},
        {{0, 0, 16, 2}, "whole rows at the top"},
        {{3, 2, 4, 3}, "one pixel"},
    };
    for (WORD colour : {WORD{0xF81F}, WORD{0x4242}})
        for (const FillCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << ", colour " << colour);
            LPDIRECTDRAWSURFACE4 s = Plain(16, 8);
            RECT rect = c.rect;
            ASSERT_EQ(Fill(s, &rect, colour), DD_OK);
            std::vector<WORD> expected(16 * 8, 0);
            for (LONG y = rect.top; y < rect.bottom; ++y)
                std::fill_n(&expected[y * 16 + rect.left], rect.right - rect.left, colour);
            EXPECT_EQ(Pixels(s), expected);
        }
}

// Each row and column of a copy walks its source in order, from end to end, never stepping
// further than the scale. The two sides round a stretch differently (divergences.txt), so the
// comparison looks only at a copy's box and corners; the rounding is checked here.
TEST_F(Port, CopiesWalkTheWholeSourceInOrder) {
    LPDIRECTDRAWSURFACE4 source = Plain(800, 60);
    Pixels(source, [](int x, int y) { return WORD(x | y << 10); }); // each pixel names its place
    struct CopyCase {
        RECT from;
        RECT to;
        bool onItself; // source and destination are the same surface
        const char* what;
    };
    const CopyCase cases[] = {
        {{0, 0, 700, 60}, {49, 1, 750, 62}, false, "the title's stretch by one"},
        {{0, 0, 700, 60}, {3, 5, 353, 35}, false, "a halving"},
        {{20, 10, 27, 13}, {0, 0, 3, 2}, false, "a shrink by more than two"},
        {{20, 10, 27, 13}, {5, 5, 12, 8}, false, "the same size"},
        {{20, 10, 27, 13}, {0, 0, 700, 59}, false, "a stretch by a hundred"},
        {{1, 2, 700, 60}, {100, 100, 101, 101}, false, "all into one pixel"},
        {{0, 0, 800, 59}, {0, 1, 800, 60}, true, "a row down, overlapping"},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.what);
        RECT from = c.from, to = c.to;
        LPDIRECTDRAWSURFACE4 dest = c.onItself ? source : back;
        ASSERT_EQ(dest->Blt(&to, source, &from, DDBLT_WAIT, nullptr), DD_OK);
        const std::vector<WORD> shown = Pixels(dest);
        // Along the top row the pixels name source columns, down the left column source rows.
        for (bool down : {false, true}) {
            const LONG first = down ? from.top : from.left;
            const LONG size = (down ? from.bottom : from.right) - first;
            const LONG steps = down ? to.bottom - to.top : to.right - to.left;
            const LONG widest = (size + steps - 1) / steps; // the furthest one step may go
            LONG last = first;
            for (LONG k = 0; k < steps; ++k) {
                const LONG x = down ? to.left : to.left + k;
                const LONG y = down ? to.top + k : to.top;
                const WORD p = shown[y * 800 + x];
                const LONG at = down ? p >> 10 : p & 0x3FF;
                EXPECT_GE(at, last) << "at step " << k;
                EXPECT_LE(at - last, k == 0 ? widest - 1 : widest) << "at step " << k;
                last = at;
            }
            EXPECT_GE(last - first, size - widest) << "the walk ends short of the source's end";
        }
    }
}

TEST_F(Port, ASurfaceTheHostRefusesIsNotHandedOut) {
    scripted::FailCall("CreateSurface", 1, DDERR_GENERIC);
    EXPECT_EQ(Plain(4, 4, DDERR_GENERIC), nullptr);
}

// The fixture pads every row, so a row of no pixels still has bytes: the side is what counts.
TEST_F(Port, ASideOfZeroIsRefusedOnPaddedRows) {
    EXPECT_EQ(Plain(0, 8, DDERR_INVALIDPARAMS), nullptr);
    EXPECT_EQ(Plain(8, 0, DDERR_INVALIDPARAMS), nullptr);
}

TEST_F(Port, NewSurfacesAreBlack) {
    EXPECT_EQ(Pixels(Plain(100000, 1)), std::vector<WORD>(100000, 0));
}

// A size that no memory holds is made all the same; everything that would touch its pixels
// fails. (Under Wine a blit from such a surface crashes, so the comparison leaves it out.)
TEST_F(Port, ASurfaceWithoutMemoryFailsEveryUseOfItsPixels) {
    LPDIRECTDRAWSURFACE4 empty = Plain(700, static_cast<DWORD>(-120));
    RECT title = {0, 0, 700, 120};
    HDC dc = nullptr;
    EXPECT_EQ(back->Blt(&title, empty, &title, DDBLT_WAIT, nullptr), DDERR_OUTOFMEMORY);
    EXPECT_EQ(Fill(empty, &title, 0x1234), DDERR_OUTOFMEMORY);
    EXPECT_EQ(empty->GetDC(&dc), DDERR_OUTOFMEMORY);
    EXPECT_EQ(dc, nullptr);
}

// A surface keeps the object that made it alive, and the object goes with the last surface.
TEST_F(Port, AnObjectLivesAsLongAsItsSurfaces) {
    const int before = PortLiveObjects();
    LPDIRECTDRAW first = nullptr;
    LPDIRECTDRAW4 other = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&other)), DD_OK);
    first->Release();
    ASSERT_EQ(other->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 8;
    desc.dwHeight = 8;
    LPDIRECTDRAWSURFACE4 made = nullptr;
    ASSERT_EQ(other->CreateSurface(&desc, &made, nullptr), DD_OK);
    other->Release();
    EXPECT_EQ(PortLiveObjects(), before + 2) << "the object and its surface";
    made->Release();
    EXPECT_EQ(PortLiveObjects(), before);
}

TEST_F(Port, FlipPresentsTheBackBuffer) {
    const std::vector<WORD> drawn = Pixels(back, [](int x, int y) { return WORD(x ^ y << 5); });
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(scripted::LastPresent().pixels, drawn);
}

// FlipToGDISurface shows the page the primary was made with, flipping only when the other one
// is showing.
TEST_F(Port, FlipToGDISurfacePresentsThePageGDIDrawsOn) {
    Fill(front, nullptr, 0x07E0); // the page GDI draws on
    Fill(back, nullptr, 0x001F);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    ASSERT_EQ(dd->FlipToGDISurface(), DD_OK);
    EXPECT_EQ(scripted::PresentCount(), 2);
    EXPECT_EQ(scripted::LastPresent().At(0, 0), 0x07E0);
    ASSERT_EQ(dd->FlipToGDISurface(), DD_OK);
    EXPECT_EQ(scripted::PresentCount(), 2) << "already showing: no flip";
}

// The window that holds the exclusive level takes the screen with it: the host is told to put
// the desktop's mode back.
TEST_F(Port, DestroyingTheGamesWindowGivesTheScreenBack) {
    ASSERT_TRUE(scripted::DisplayModeSet());
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(scripted::DisplayModeSet());
}

} // namespace
