// The frame driver through the scripted host: the golden first page, each step of a frame and
// what a failure at each does to the rest, the FPS counter, PrintText.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "display/text.h"
#include "game/world.h"
#include "test_hooks.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "src/font8x16.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using scripted::Page;
constexpr WORD Green = 0x0FC0, Grey = 0xA514;

// Creates mainWindow and sets up the display as WinMain does.
bool StartDisplay() {
    const WNDCLASSEXA wc = {sizeof wc, 0,       DefWindowProcA, 0,
                            0,         nullptr, nullptr,        nullptr,
                            nullptr,   nullptr, "WindowClass",  nullptr};
    RegisterClassExA(&wc);
    mainWindow = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
    return mainWindow && InitDirectDraw();
}

// A 700 x 120 title of flat 100 x 40 blocks, each 5-6-5 colour written exactly.
WORD BlockColour(int column, int row) {
    return static_cast<WORD>(0x1234 + 0x2F3D * (column + 7 * row));
}
void WriteBlockTitle() {
    const char header[54] = {'B', 'M', '\x96', '\xD8', 3, 0, 0, 0,   0, 0, 54, 0, 0, 0, 40,
                             0,   0,   0,      '\xBC', 2, 0, 0, 120, 0, 0, 0,  1, 0, 24};
    std::string bmp(header, sizeof header);
    for (int y = 119; y >= 0; --y) // bottom-up, each pixel blue, green, red
        for (int x = 0; x < 700; ++x) {
            const WORD c = BlockColour(x / 100, y / 40);
            bmp += {char((c & 0x1F) << 3), char((c >> 5 & 0x3F) << 2), char(c >> 11 << 3)};
        }
    std::ofstream("FinalTitle.bmp", std::ios::binary) << bmp;
}

void Fill(Page& page, const RECT& rect, WORD colour) {
    for (LONG y = rect.top; y < rect.bottom && y < page.height; ++y)
        std::fill_n(&page.pixels[y * page.width + rect.left], rect.right - rect.left, colour);
}

// A line of 8 x 16 glyph cells from (x, y) in the 5-6-5 colour `ink`.
struct TextLine {
    int x, y;
    std::string text;
    WORD ink;
};

bool IsInk(const TextLine& line, int px, int py) {
    const long long dx = 0LL + px - line.x, dy = 0LL + py - line.y;
    if (px >= 800 || dx < 0 || dy < 0 || dy >= port::GlyphHeight ||
        dx / port::GlyphWidth >= static_cast<long long>(line.text.size()))
        return false;
    const unsigned char c = static_cast<unsigned char>(line.text[dx / port::GlyphWidth]);
    return port::Glyph(c)[dy] & (0x80 >> dx % port::GlyphWidth);
}

// `got` is `want` but for the lit glyph pixels of the lines, which hold their ink.
void ExpectPage(const Page& want, const Page& got, const std::vector<TextLine>& lines = {}) {
    ASSERT_EQ(std::make_pair(got.width, got.height), std::make_pair(want.width, 600)); // a page
    int wrong = 0;
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            WORD pixel = want.At(x, y);
            for (const TextLine& line : lines)
                pixel = IsInk(line, x, y) ? line.ink : pixel;
            if (got.At(x, y) != pixel && wrong++ == 0)
                ADD_FAILURE() << "(" << x << ", " << y << ") " << got.At(x, y) << " != " << pixel;
        }
    EXPECT_EQ(wrong, 0) << "pixels wrong";
}

// The back buffer, pitch wide; `paint` first sets each pixel apart from its neighbours and magenta.
Page BackBuffer(bool paint = false) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK) << "still held";
    WORD* pixels = static_cast<WORD*>(desc.lpSurface);
    const int pitch = pixels ? desc.lPitch / 2 : 0;
    for (int i = 0; paint && i < pitch * 600; ++i)
        pixels[i] = static_cast<WORD>((i % pitch * 7 + i / pitch * 131) & 0x7FFF);
    backBuffer->Unlock(nullptr);
    return {pitch, 600, {pixels, pixels + pitch * 600}};
}

// With the game's own title (bin/ is the working directory), byte for byte, little-endian.
// scripts/make-golden writes the file again, on purpose, through VANTOREL_WRITE_GOLDEN.
TEST(GoldenFrameTest, TheFirstFrameIsTheGoldenOne) {
    ResetEverything();
    ASSERT_TRUE(StartDisplay());
    GameFrame();
    ASSERT_TRUE(scripted::MessageBoxes().empty());
    std::string bytes;
    for (WORD p : scripted::LastPresent().pixels)
        bytes += {static_cast<char>(p & 0xFF), static_cast<char>(p >> 8)};
    if (const char* path = std::getenv("VANTOREL_WRITE_GOLDEN"))
        std::ofstream(path, std::ios::binary) << bytes;
    const std::string golden = ReadFile(VANTOREL_GOLDEN_DIR "/first-frame.rgb565");
    ASSERT_EQ(golden.size(), bytes.size()) << "tests/frame/golden/first-frame.rgb565";
    const size_t at =
        std::mismatch(bytes.begin(), bytes.end(), golden.begin()).first - bytes.begin();
    EXPECT_EQ(at, bytes.size()) << "(" << at / 2 % 800 << ", " << at / 1600 << ") is wrong";
}

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { Restart(); }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    // The starting state with a title of flat blocks, no log, back-buffer rows padded.
    void Restart() {
        ResetEverything();
        std::remove("Log.txt");
        WriteBlockTitle();
        scripted::SetPitchPadding(6);
        ASSERT_TRUE(StartDisplay());
        scripted::SetClock(5000);
    }
    void ExpectOneReport(const std::string& box, const std::string& log) {
        ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
        const scripted::MessageBoxRecord& b = scripted::MessageBoxes()[0];
        EXPECT_EQ(std::make_tuple(b.owner, b.text, b.caption, b.style, ReadFile("Log.txt")),
                  std::make_tuple(mainWindow, box, std::string("Error"), UINT{MB_OK}, log + "\n"));
    }
    TempDir dir;
};

// Escape posts the quit message and nothing else; a failed clear is reported and ends the frame.
TEST_F(FrameTest, EscapeOrAFailedClearEndsTheFrame) {
    auto frameCalls = [] {
        const size_t from = scripted::Calls().size();
        GameFrame();
        return scripted::CallNames(from);
    };
    scripted::SetKey(VK_ESCAPE, true);
    EXPECT_EQ(frameCalls(), std::vector<std::string>{"PostQuitMessage"});
    scripted::SetKey(VK_ESCAPE, false);
    scripted::FailCall("Blt", 1);
    EXPECT_EQ(frameCalls(), (std::vector<std::string>{"Blt", "MessageBoxA"}));
    ExpectOneReport("Clear Screen Blt Failed", "Clear Screen Blt Failed");
    EXPECT_EQ(Ball.x1, ServeX1) << "no play step";
}

// The first frame item by item, the title's blocks stretched into (49, 1)-(750, 122); a failed
// blit leaves out just its item; the overlay adds just its lines, with the values after the step.
TEST_F(FrameTest, TheFirstFrameItemByItem) {
    const struct {
        const char *box, *log;
        RECT rect;
        WORD colour;
    } items[] = {
        {"Player Paddle Blt Failed", "Player Paddle Blt Failed", {380, 550, 420, 555}, Green},
        {"Enemy Paddle Blt Failed", "Enemy Paddle Blt Failed", {380, 150, 420, 155}, Green},
        {"Ball Blt Failed", "Ball Blt Failed", {395, 347, 400, 352}, Green},
        {"SideTop blt Failed", "SideTop Blt Failed", {98, 143, 702, 145}, Grey},
        {"SideRight blt Failed", "SideRight Blt Failed", {700, 145, 702, 560}, Grey},
        {"SideBottom blt Failed", "SideBottom Blt Failed", {98, 560, 702, 562}, Grey},
        {"SideLeft blt Failed", "SideLeft Blt Failed", {98, 145, 100, 560}, Grey},
        {"Title blt Failed", "Title Blt Failed", {49, 1, 750, 122}, 0},
    };
    GameFrame();
    const Page first = scripted::LastPresent();
    ASSERT_EQ(first.pixels.size(), 800u * 600);
    Page want = first;
    Fill(want, {98, 143, 702, 562}, 0x0000);
    for (int i = 0; i < 7; ++i)
        Fill(want, items[i].rect, items[i].colour);
    for (int row = 0; row < 3; ++row) // the blocks' centres and the title's corners
        for (int col = 0; col < 7; ++col)
            Fill(want, {99 + col * 100, 21 + row * 40, 100 + col * 100, 22 + row * 40},
                 BlockColour(col, row));
    Fill(want, {49, 1, 50, 2}, BlockColour(0, 0));
    Fill(want, {749, 121, 750, 122}, BlockColour(6, 2));
    ExpectPage(want, first);
    EXPECT_EQ(frameCount + nextFpsTime, 0u) << "no frame counter without the overlay";

    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        Restart();
        if (i < 8)
            scripted::FailCallAfter("Blt", 1 + i); // the clear and the items before go through
        else
            std::exchange(titleSurface, nullptr)->Release();
        GameFrame();
        if (i < 8)
            ExpectOneReport(items[i].box, items[i].log);
        else
            EXPECT_TRUE(scripted::MessageBoxes().empty());
        want = first;
        Fill(want, items[std::min(i, 7)].rect, 0x0000);
        ExpectPage(want, scripted::LastPresent());
    }

    Restart();
    debugInfo = true;
    GameFrame();
    const char* values[] = {"FPS: 1",       "Ball.Velx: -2",  "Ball.Vely: -3", "Ball.x1: 395",
                            "Ball.y1: 347", "Player.x1: 380", "Player.x2: 420"};
    std::vector<TextLine> lines;
    for (int i = 0; i < 7; ++i)
        lines.push_back({1, 150 + 15 * i, values[i], 0xFFFF});
    ExpectPage(first, scripted::LastPresent(), lines);
}

// A prompt with Enter held shows in the frame that dismisses it, with the game as that left it.
TEST_F(FrameTest, APromptIsDrawnInTheFrameThatDismissesIt) {
    const struct {
        bool* flag;
        const char *prompt, *score, *lives, *level;
    } cases[] = {
        {&youWin, "You Win!", "Score: 1200", "Lives: 0", "Level: 3"},
        {&youLose, "You Lose!", "Score: 800", "Lives: 0", "Level: 1"},
        {&gameOver, "Game Over!", "Score: 0", "Lives: 3", "Level: 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        Restart();
        *c.flag = true;
        std::tie(Score, Lives, Level, Enemy.x1, Enemy.x2) = std::make_tuple(1200, 0, 3, 300, 340);
        scripted::SetKey(VK_RETURN, true);
        GameFrame();
        Page want = scripted::LastPresent();
        Fill(want, {0, 125, 800, 141}, 0x0000); // the text lies on black
        Fill(want, {368, 295, 448, 311}, 0x0000);
        Fill(want, {300, 150, 420, 155}, 0x0000);
        Fill(want, {380, 150, 420, 155}, Green); // the computer's paddle at its restart position
        ExpectPage(want, scripted::LastPresent(),
                   {{368, 295, c.prompt, 0xFFE0},
                    {250, 125, c.score, 0xFFFF},
                    {110, 125, c.lives, 0xFFFF},
                    {180, 125, c.level, 0xFFFF}});
    }
}

// GetFps at each clock reading: a new sample once strictly past the deadline, across the wrap too.
TEST(FpsTest, SamplesOnceTheClockIsStrictlyPastTheDeadline) {
    ResetEverything();
    const std::pair<DWORD, int> calls[] = {{1000, 1},       {2000, 1},  {2001, 2}, {0xFFFFFE00, 1},
                                           {0xFFFFFF00, 1}, {0x1E8, 1}, {0x1E9, 3}};
    for (size_t i = 0; i < std::size(calls); ++i) {
        scripted::SetClock(calls[i].first);
        EXPECT_EQ(GetFps(), calls[i].second) << "call " << i;
    }
}

// A line anywhere, in a colour after a line in another, changes only its glyph pixels, to the
// colour's 5-6-5 value (never magenta), and gives the context back; without one it is skipped.
TEST_F(FrameTest, PrintTextChangesOnlyItsGlyphPixels) {
    std::string ascii(190, ' '); // every printable character, twice: wider than the screen
    for (int i = 0; i < 190; ++i)
        ascii[i] = static_cast<char>(' ' + i % 95);
    const std::pair<TextLine, COLORREF> cases[] = {
        {{100, 100, "Lives: 3", 0xFFFF}, White}, // GetDC fails: nothing drawn
        {{10, 10, ascii, 0x3102}, 0x00102030},
        {{-5, -7, "Clipped top left", 0xFFE0}, Yellow},
        {{795, 590, "Wp", 0xCE79}, LightGrey},
        {{5, 40, "\x01\x7f\x80\xff\t", 0x0000}, 0x00070307}, // boxes; low bits dropped
        {{INT_MIN, 100, std::string(40, 'W'), 0xFFFF}, White},
        {{100, INT_MAX, "below", 0xFFFF}, White},
        {{100, 100, "", 0xFFFF}, White},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const auto& [line, colour] = cases[i];
        BackBuffer(true);
        PrintText(line.x, line.y, line.text.c_str(), cases[(i + 1) % std::size(cases)].second);
        const Page before = BackBuffer();
        if (i == 0)
            scripted::FailCall("GetDC", 1, DDERR_SURFACELOST);
        const int released = scripted::CallCount("ReleaseDC");
        PrintText(line.x, line.y, line.text.c_str(), colour);
        EXPECT_EQ(scripted::CallCount("ReleaseDC"), released + (i > 0)) << "the context back";
        ExpectPage(before, BackBuffer(), {i == 0 ? TextLine{} : line});
    }
}

} // namespace
