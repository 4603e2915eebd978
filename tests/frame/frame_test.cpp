// The frame driver through the scripted host: the golden first page, each step of a frame and
// what a failure at each does to the rest, the display going away and coming back, the FPS
// counter, PrintText.
#include <windows.h>
#include <ddraw.h>

#include "display/device.h"
#include "display/frame.h"
#include "display/text.h"
#include "game/world.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "src/font8x16.h"
#include "support/display_support.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace {

using scripted::Page;
constexpr WORD Green = 0x0FC0, Grey = 0xA514, Black = 0x0000;
constexpr RECT TitleArea = {49, 1, 750, 122};
const char* const HelpLine =
    "ESC to quit, arrow keys to move, Enter on prompt and F5 for debug info.";

// A 700 x 120 title of flat 100 x 40 blocks, each 5-6-5 colour written exactly, so that every
// block's centre shows its colour whatever the stretch does at the seams.
WORD BlockColour(int column, int row) {
    return static_cast<WORD>(0x1234 + 0x2F3D * (column + 7 * row));
}
std::string BlockTitle(LONG width, LONG height) {
    std::string pixels;
    for (LONG y = height - 1; y >= 0; --y) // bottom-up, each pixel blue, green, red
        for (LONG x = 0; x < width; ++x) {
            const WORD c = BlockColour(x / 100 % 7, y / 40 % 3);
            pixels += {char((c & 0x1F) << 3), char((c >> 5 & 0x3F) << 2), char(c >> 11 << 3)};
        }
    return BitmapFile(width, height, pixels);
}

void Fill(Page& page, const RECT& rect, WORD colour) {
    for (LONG y = rect.top; y < rect.bottom && y < page.height; ++y)
        std::fill_n(&page.pixels[y * page.width + rect.left], rect.right - rect.left, colour);
}

// Where a block's centre lands in the stretched title, and the colour it must show there.
struct TitleSpot {
    RECT at;
    WORD colour;
};
std::vector<TitleSpot> TitleSpots() {
    std::vector<TitleSpot> spots;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 7; ++col)
            spots.push_back({{99 + col * 100, 21 + row * 40, 100 + col * 100, 22 + row * 40},
                             BlockColour(col, row)});
    spots.push_back({{49, 1, 50, 2}, BlockColour(0, 0)});       // the top-left corner
    spots.push_back({{749, 121, 750, 122}, BlockColour(6, 2)}); // the bottom-right corner
    return spots;
}

// A line of 8 x 16 glyph cells from (x, y) in the 5-6-5 colour `ink`.
struct TextLine {
    int x, y;
    std::string text;
    WORD ink;
};

bool IsInk(const TextLine& line, int px, int py) {
    const long long dx = 0LL + px - line.x;
    const long long dy = 0LL + py - line.y;
    if (px >= 800 || dx < 0 || dy < 0 || dy >= port::GlyphHeight ||
        dx / port::GlyphWidth >= static_cast<long long>(line.text.size()))
        return false;
    const unsigned char c = static_cast<unsigned char>(line.text[dx / port::GlyphWidth]);
    return port::Glyph(c)[dy] & (0x80 >> dx % port::GlyphWidth);
}

// `got` is `want` but for the lit glyph pixels of the lines, which hold their ink.
void ExpectPage(const Page& want, const Page& got, const std::vector<TextLine>& lines = {}) {
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    int wrong = 0;
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            WORD pixel = want.At(x, y);
            for (const TextLine& line : lines)
                if (IsInk(line, x, y))
                    pixel = line.ink;
            if (got.At(x, y) != pixel && wrong++ == 0)
                ADD_FAILURE() << "(" << x << ", " << y << ") " << got.At(x, y) << " != " << pixel;
        }
    EXPECT_EQ(wrong, 0) << "pixels wrong";
}

// The back buffer, pitch wide; `paint` first sets each pixel apart from its neighbours.
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

// A page as a binary PPM, each 5-6-5 channel widened by repeating its top bits.
void WritePpm(const std::string& path, const Page& page) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << page.width << ' ' << page.height << "\n255\n";
    for (WORD p : page.pixels) {
        const int r = p >> 11, g = p >> 5 & 0x3F, b = p & 0x1F;
        out << char(r << 3 | r >> 2) << char(g << 2 | g >> 4) << char(b << 3 | b >> 2);
    }
}

class FrameTest : public ::testing::Test {
  protected:
    // The starting state with a title of flat blocks, back-buffer rows padded.
    void SetUp() override {
        ResetEverything();
        WriteFile("FinalTitle.bmp", BlockTitle(700, 120));
        scripted::SetPitchPadding(6);
        ASSERT_TRUE(StartDisplay());
        scripted::SetClock(5000);
    }
    void TearDown() override {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    // What the first frame shows, item by item, with no text (the text is checked by glyph).
    static Page FirstScene() {
        Page page;
        page.width = 800;
        page.height = 600;
        page.pixels.assign(800 * 600, Black);
        Fill(page, {380, 550, 420, 555}, Green); // the player's paddle
        Fill(page, {380, 150, 420, 155}, Green); // the computer's: the ball is within its ends
        Fill(page, {395, 347, 400, 352}, Green); // the ball, one step on
        for (const RECT& wall : {RECT{98, 143, 702, 145}, RECT{700, 145, 702, 560},
                                 RECT{98, 560, 702, 562}, RECT{98, 145, 100, 560}})
            Fill(page, wall, Grey);
        return page;
    }
    static std::vector<TextLine> ScoreLines() {
        return {{250, 125, "Score: 0", 0xFFFF},
                {110, 125, "Lives: 3", 0xFFFF},
                {180, 125, "Level: 1", 0xFFFF},
                {165, 570, HelpLine, 0xCE79}};
    }
    // The shown page outside the title, then each of the title's block spots.
    static void ExpectFirstScene(const Page& shown) {
        Page want = FirstScene();
        Fill(want, TitleArea, Black);
        Page got = shown;
        Fill(got, TitleArea, Black);
        ExpectPage(want, got, ScoreLines());
        for (const TitleSpot& spot : TitleSpots())
            EXPECT_EQ(shown.At(spot.at.left, spot.at.top), spot.colour)
                << "title at (" << spot.at.left << ", " << spot.at.top << ")";
    }
    TempDir dir;
};

// With the game's own title (bin/ is the working directory), byte for byte. A mismatch leaves
// the actual, expected and difference pictures in build/frame-mismatch/. scripts/make-golden
// writes the golden file again, on purpose, through VANTOREL_WRITE_GOLDEN.
TEST(GoldenFrameTest, TheFirstFrameIsTheGoldenOne) {
    ResetEverything();
    ASSERT_TRUE(StartDisplay());
    GameFrame();
    ASSERT_TRUE(scripted::MessageBoxes().empty());
    const Page& shown = scripted::LastPresent();
    std::string bytes;
    for (WORD p : shown.pixels)
        bytes += {static_cast<char>(p & 0xFF), static_cast<char>(p >> 8)};
    if (const char* path = std::getenv("VANTOREL_WRITE_GOLDEN"))
        std::ofstream(path, std::ios::binary) << bytes;
    const std::string golden = ReadFile(VANTOREL_GOLDEN_DIR "/first-frame.rgb565");
    ASSERT_EQ(golden.size(), bytes.size()) << "tests/frame/golden/first-frame.rgb565";
    if (golden == bytes)
        return;
    Page expected = shown;
    Page difference = shown;
    for (size_t i = 0; i < expected.pixels.size(); ++i) {
        expected.pixels[i] = static_cast<WORD>(BYTE(golden[2 * i]) | BYTE(golden[2 * i + 1]) << 8);
        difference.pixels[i] = expected.pixels[i] == shown.pixels[i] ? Black : 0xFFFF;
    }
    const std::string dir = VANTOREL_MISMATCH_DIR;
    std::filesystem::create_directories(dir);
    WritePpm(dir + "/actual.ppm", shown);
    WritePpm(dir + "/expected.ppm", expected);
    WritePpm(dir + "/difference.ppm", difference);
    ADD_FAILURE() << "the first frame differs from the golden one (white in difference.ppm); see "
                  << dir << "/actual.ppm, expected.ppm and difference.ppm";
}

// Every fill is a colour fill that waits for the blitter, with a DDBLTFX of its own size; the
// title is a plain blit of its top-left 700 x 120, one pixel wider and taller on the page.
TEST_F(FrameTest, TheFrameDrawsWithTheseBlits) {
    GameFrame();
    const std::vector<scripted::Call> blits = scripted::CallsNamed("Blt");
    ASSERT_EQ(blits.size(), 9u); // the clear, two paddles, the ball, four walls, the title
    for (const scripted::Call& blit : blits)
        EXPECT_EQ(blit.object, backBuffer);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(blits[i].args[0], DDBLT_COLORFILL | DDBLT_WAIT) << "fill " << i;
        EXPECT_EQ(blits[i].args[2], 0) << "no source for fill " << i;
    }
    EXPECT_EQ(blits[0].args[7], 0) << "the clear takes the whole page";
    EXPECT_EQ(blits[0].args[1], Black);
    EXPECT_EQ(blits[1].args[1], Green);
    EXPECT_EQ(blits[2].args[1], Green) << "kept on purpose: the player's colour for both paddles";
    EXPECT_EQ(blits[4].args[1], Grey);
    const scripted::Call& title = blits[8];
    EXPECT_EQ(title.args[0], DDBLT_WAIT);
    EXPECT_EQ(title.args[2], reinterpret_cast<intptr_t>(titleSurface));
    EXPECT_EQ(title.args[3], TitleArea.left);
    EXPECT_EQ(title.args[4], TitleArea.top);
    EXPECT_EQ(title.args[5], TitleArea.right);
    EXPECT_EQ(title.args[6], TitleArea.bottom);
}

// Each blit's failure is reported once and leaves out just its own item.
struct FrameItem {
    const char* name;
    int blit; // its place among the frame's blits, after the clear
    const char* box;
    const char* log;
    RECT rect;
};

std::ostream& operator<<(std::ostream& out, const FrameItem& item) {
    return out << item.name;
}

class FrameItemTest : public FrameTest, public ::testing::WithParamInterface<FrameItem> {};

TEST_P(FrameItemTest, AFailedBlitIsReportedAndLeavesOutItsItemOnly) {
    const FrameItem& item = GetParam();
    scripted::FailCallAfter("Blt", item.blit); // the clear and the items before go through
    GameFrame();
    ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
    const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
    EXPECT_EQ(box.owner, mainWindow);
    EXPECT_EQ(box.text, item.box);
    EXPECT_EQ(box.caption, "Error") << "kept on purpose: the frame's caption";
    EXPECT_EQ(box.style, UINT{MB_OK});
    EXPECT_EQ(ReadFile("Log.txt"), std::string(item.log) + "\n");
    Page want = FirstScene();
    Fill(want, item.rect, Black);
    Page shown = scripted::LastPresent();
    Fill(shown, TitleArea, Black);
    Fill(want, TitleArea, Black);
    ExpectPage(want, shown, ScoreLines());
}

INSTANTIATE_TEST_SUITE_P(
    EachItem, FrameItemTest,
    ::testing::Values(
        FrameItem{"PlayerPaddle",
                  1,
                  "Player Paddle Blt Failed",
                  "Player Paddle Blt Failed",
                  {380, 550, 420, 555}},
        FrameItem{"EnemyPaddle",
                  2,
                  "Enemy Paddle Blt Failed",
                  "Enemy Paddle Blt Failed",
                  {380, 150, 420, 155}},
        FrameItem{"Ball", 3, "Ball Blt Failed", "Ball Blt Failed", {395, 347, 400, 352}},
        // Kept on purpose: for the walls and the title the box says "blt", the log "Blt".
        FrameItem{"SideTop", 4, "SideTop blt Failed", "SideTop Blt Failed", {98, 143, 702, 145}},
        FrameItem{
            "SideRight", 5, "SideRight blt Failed", "SideRight Blt Failed", {700, 145, 702, 560}},
        FrameItem{
            "SideBottom", 6, "SideBottom blt Failed", "SideBottom Blt Failed", {98, 560, 702, 562}},
        FrameItem{"SideLeft", 7, "SideLeft blt Failed", "SideLeft Blt Failed", {98, 145, 100, 560}},
        FrameItem{"Title", 8, "Title blt Failed", "Title Blt Failed", TitleArea}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, WithoutATitleSurfaceTheTitleIsLeftOutUnreported) {
    titleSurface->Release();
    titleSurface = nullptr;
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    Page want = FirstScene();
    Fill(want, TitleArea, Black);
    ExpectPage(want, scripted::LastPresent(), ScoreLines());
}

// A box while the game holds the screen goes on the page GDI draws on.
TEST_F(FrameTest, AFrameReportFlipsToTheGdiPageFirst) {
    std::string callBeforeBox;
    scripted::OnMessageBox([&](const scripted::MessageBoxRecord&) {
        callBeforeBox = scripted::Calls()[scripted::Calls().size() - 2].name;
        return IDOK;
    });
    scripted::FailCallAfter("Blt", 3); // the ball
    GameFrame();
    EXPECT_EQ(callBeforeBox, "FlipToGDISurface");
}

TEST_F(FrameTest, EscapePostsTheQuitMessageAndDoesNothingElse) {
    scripted::SetKey(VK_ESCAPE, true);
    const size_t from = scripted::Calls().size();
    GameFrame();
    EXPECT_EQ(scripted::CallNames(from), std::vector<std::string>{"PostQuitMessage"});
}

TEST_F(FrameTest, AFailedClearIsReportedAndEndsTheFrame) {
    scripted::FailCall("Blt", 1);
    GameFrame();
    EXPECT_EQ(scripted::CallCount("Blt"), 1);
    EXPECT_EQ(scripted::PresentCount(), 0);
    EXPECT_EQ(Ball.x1, ServeX1) << "no play step";
    ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
    EXPECT_EQ(scripted::MessageBoxes()[0].text, "Clear Screen Blt Failed");
    EXPECT_EQ(ReadFile("Log.txt"), "Clear Screen Blt Failed\n");
}

// A larger title shows its top-left 700 x 120.
TEST_F(FrameTest, ALargerTitleShowsItsTopLeft) {
    ReleaseDirectDraw();
    WriteFile("FinalTitle.bmp", BlockTitle(1024, 240));
    ASSERT_TRUE(InitDirectDraw());
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    ExpectFirstScene(scripted::LastPresent());
}

// The overlay adds its lines, with the values after the play step, and nothing else.
TEST_F(FrameTest, TheOverlayShowsTheFrameRateAndTheCoordinates) {
    debugInfo = true;
    GameFrame();
    std::vector<TextLine> lines = ScoreLines();
    const char* values[] = {"FPS: 1",       "Ball.Velx: -2",  "Ball.Vely: -3", "Ball.x1: 395",
                            "Ball.y1: 347", "Player.x1: 380", "Player.x2: 420"};
    for (int i = 0; i < 7; ++i)
        lines.push_back({1, 150 + 15 * i, values[i], 0xFFFF});
    Page want = FirstScene();
    Page shown = scripted::LastPresent();
    Fill(want, TitleArea, Black);
    Fill(shown, TitleArea, Black);
    ExpectPage(want, shown, lines);
}

// A prompt with Enter held shows in the frame that dismisses it, with the values that left.
struct PromptCase {
    const char* name;
    bool* flag;
    const char* prompt;
    const char* score; // the score line after Enter
    const char* lives;
    const char* level;
};

std::ostream& operator<<(std::ostream& out, const PromptCase& c) {
    return out << c.name;
}

class PromptTest : public FrameTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptTest, IsDrawnInTheFrameThatDismissesIt) {
    const PromptCase& c = GetParam();
    *c.flag = true;
    Score = 1200;
    Lives = 0;
    Level = 3;
    Enemy.x1 = 300;
    Enemy.x2 = 340;
    scripted::SetKey(VK_RETURN, true);
    GameFrame();
    Page want = FirstScene();
    Fill(want, {380, 150, 420, 155}, Green); // the computer's paddle back at its restart place
    Fill(want, {395, 347, 400, 352}, Black);
    Fill(want, {ServeX1, ServeY1, ServeX2, ServeY2}, Green); // the ball rests at its serve
    Page shown = scripted::LastPresent();
    Fill(want, TitleArea, Black);
    Fill(shown, TitleArea, Black);
    ExpectPage(want, shown,
               {{368, 295, c.prompt, 0xFFE0},
                {250, 125, c.score, 0xFFFF},
                {110, 125, c.lives, 0xFFFF},
                {180, 125, c.level, 0xFFFF},
                {165, 570, HelpLine, 0xCE79}});
}

INSTANTIATE_TEST_SUITE_P(EachPrompt, PromptTest,
                         ::testing::Values(PromptCase{"Win", &youWin, "You Win!", "Score: 1200",
                                                      "Lives: 0", "Level: 3"},
                                           PromptCase{"Lose", &youLose, "You Lose!", "Score: 800",
                                                      "Lives: 0", "Level: 1"},
                                           PromptCase{"GameOver", &gameOver, "Game Over!",
                                                      "Score: 0", "Lives: 3", "Level: 1"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program takes the screen for 1,000 frames: none of them reports, logs, plays or
// spins, and Escape still ends the game.
TEST_F(FrameTest, WhileTheScreenIsAwayFramesNeitherPlayNorReportNorSpin) {
    GameFrame();
    const LONG ballX1 = Ball.x1, enemyX1 = Enemy.x1, playerX1 = Player.x1;
    const int presents = scripted::PresentCount();
    scripted::TakeDisplay();
    scripted::SetKey(VK_RIGHT, true);
    const size_t from = scripted::Calls().size();
    for (int frame = 0; frame < 1000; ++frame)
        GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(ReadFile("Log.txt"), "");
    EXPECT_EQ(Ball.x1, ballX1);
    EXPECT_EQ(Enemy.x1, enemyX1);
    EXPECT_EQ(Player.x1, playerX1);
    EXPECT_EQ(scripted::PresentCount(), presents);
    int sleeps = 0;
    for (size_t i = from; i < scripted::Calls().size(); ++i)
        if (scripted::Calls()[i].name == "Sleep") {
            ++sleeps;
            EXPECT_GE(scripted::Calls()[i].args[0], 10) << "a frame that gives up the processor";
        }
    EXPECT_EQ(sleeps, 1000);
    EXPECT_EQ(scripted::CallCount("Restore"), 0) << "the screen is not taken back";

    scripted::SetKey(VK_ESCAPE, true);
    GameFrame();
    EXPECT_EQ(scripted::CallNames().back(), "PostQuitMessage");
}

// Given back, the screen is in the desktop's mode: the game sets its own again, and the next
// frame shows the whole scene with the title read again, the ball one step on.
TEST_F(FrameTest, OnceTheScreenIsBackTheNextFrameShowsTheWholeScene) {
    GameFrame();
    scripted::TakeDisplay();
    GameFrame();
    scripted::GiveDisplay();
    scripted::ReleaseKeys();
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(scripted::CallCount("SetDisplayMode"), 2);
    EXPECT_EQ(scripted::DisplayWidth(), 800);
    EXPECT_EQ(scripted::DisplayHeight(), 600);
    EXPECT_EQ(scripted::DisplayBitsPerPixel(), 16);
    EXPECT_EQ(Ball.x1, 393) << "the second step of the ball";
    Page shown = scripted::LastPresent();
    for (const TitleSpot& spot : TitleSpots())
        EXPECT_EQ(shown.At(spot.at.left, spot.at.top), spot.colour)
            << "title at (" << spot.at.left << ", " << spot.at.top << ")";
    EXPECT_EQ(shown.At(100, 143), Grey);
}

// Surfaces lost while the screen stays the game's are restored in the same frame.
TEST_F(FrameTest, ALostChainIsRestoredInTheSameFrame) {
    PortLoseSurfaces();
    GameFrame();
    EXPECT_EQ(scripted::PresentCount(), 1);
    EXPECT_EQ(scripted::CallCount("SetDisplayMode"), 1);
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    ExpectFirstScene(scripted::LastPresent());
}

// Where a blit itself finds the surfaces lost (as Windows tells it) or only the flip does (as
// Wine tells it), the game restores instead of reporting.
TEST_F(FrameTest, ASurfaceLostDuringTheFrameIsRestoredNotReported) {
    for (const char* call : {"Blt", "Flip"}) {
        SCOPED_TRACE(call);
        const int restores = scripted::CallCount("Restore");
        scripted::FailCallAfter(call, call == std::string("Blt") ? 4 : 0, 1, DDERR_SURFACELOST);
        GameFrame();
        EXPECT_TRUE(scripted::MessageBoxes().empty());
        EXPECT_EQ(scripted::CallCount("Restore"), restores + 1);
    }
}

TEST_F(FrameTest, AClearThatFindsTheSurfacesLostEndsTheFrameWithoutAPlayStep) {
    scripted::FailCall("Blt", 1, DDERR_SURFACELOST);
    GameFrame();
    EXPECT_TRUE(scripted::MessageBoxes().empty());
    EXPECT_EQ(Ball.x1, ServeX1);
    EXPECT_EQ(scripted::PresentCount(), 0);
}

TEST_F(FrameTest, WithoutTheOverlayFramesAreNotCounted) {
    GameFrame();
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(nextFpsTime, 0u);
}

// GetFps at each clock reading: a new sample once strictly past the deadline, across the wrap.
TEST(FpsTest, SamplesOnceTheClockIsStrictlyPastTheDeadline) {
    ResetEverything();
    const struct {
        DWORD clock;
        int fps;
    } calls[] = {{1000, 1},                   // the first call samples at once
                 {2000, 1},                   // level with the deadline: not yet
                 {2001, 2},                   // strictly past it
                 {0xFFFFFE00, 1},             // long after: at once
                 {0xFFFFFF00, 1}, {0x1E8, 1}, // across the wrap, level with the deadline
                 {0x1E9, 3}};
    for (const auto& call : calls) {
        scripted::SetClock(call.clock);
        EXPECT_EQ(GetFps(), call.fps) << "at " << call.clock;
    }
}

// A line anywhere, in a colour after a line in another, changes only its glyph pixels, to the
// colour's 5-6-5 value (never magenta), and gives the context back.
struct PrintCase {
    const char* name;
    TextLine line;
    COLORREF colour;
};

std::ostream& operator<<(std::ostream& out, const PrintCase& c) {
    return out << c.name;
}

class PrintTextTest : public FrameTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintTextTest, ChangesOnlyItsGlyphPixels) {
    const PrintCase& c = GetParam();
    BackBuffer(true);
    PrintText(c.line.x, c.line.y, c.line.text.c_str(), White); // a colour of its own before
    const Page before = BackBuffer();
    const int released = scripted::CallCount("ReleaseDC");
    PrintText(c.line.x, c.line.y, c.line.text.c_str(), c.colour);
    EXPECT_EQ(scripted::CallCount("ReleaseDC"), released + 1) << "the context given back";
    ExpectPage(before, BackBuffer(), {c.line});
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PrintTextTest,
    ::testing::Values(
        // Boxes for characters without glyphs; the colour's low bits are dropped.
        PrintCase{"NoGlyphs", {5, 40, "\x01\x7f\x80\xff\t", 0x0000}, 0x00070307},
        PrintCase{"FarLeft", {INT_MIN, 100, std::string(40, 'W'), 0xFFFF}, White},
        PrintCase{"FarBelow", {100, INT_MAX, "below", 0xFFFF}, White},
        PrintCase{"Empty", {100, 100, "", 0xFFFF}, White}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, WithoutADeviceContextALineIsSkipped) {
    BackBuffer(true);
    const Page before = BackBuffer();
    scripted::FailCall("GetDC", 1, DDERR_SURFACELOST);
    PrintText(100, 100, "Lives: 3", White);
    EXPECT_EQ(scripted::CallCount("TextOutA"), 0);
    EXPECT_EQ(scripted::CallCount("ReleaseDC"), 0);
    ExpectPage(before, BackBuffer());
}

} // namespace
