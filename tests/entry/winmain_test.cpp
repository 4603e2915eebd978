// The program run whole through the scripted host (WinMain returns once a pump handler presses
// Escape), and the log that cannot be opened.

#include "game/world.h"
#include "host.h"
#include "scripted_host.h"
#include "shell/command_line.h"
#include "shell/log.h"
#include "shell/main_window.h"
#include "shell/window_proc.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

const HINSTANCE Instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
const char* const ExitLine = "Game successfully returning...\n";

// The loop's calls: P for PeekMessageA (a pass), D for a dispatched message, F for a frame, and
// B and E where the timer's period of 1 ms is begun and ended.
std::string Passes() {
    std::string passes;
    for (const scripted::Call& call : scripted::Calls()) {
        if (call.name == "PeekMessageA" || call.name == "DispatchMessageA" || call.name == "Flip")
            passes += call.name[0];
        if (call.name == "timeBeginPeriod" || call.name == "timeEndPeriod")
            passes += std::string(call.args[0] == 1 ? "" : "!") + call.name[4];
    }
    return passes;
}

long long Arg(const void* pointer) {
    return static_cast<long long>(reinterpret_cast<intptr_t>(pointer));
}

// Every test runs the game in a fresh directory holding the title, as it is shipped.
class EntryTest : public FreshProgram {
  protected:
    void SetUp() override {
        FreshProgram::SetUp();
        std::filesystem::copy_file(TITLE_FILE, "FinalTitle.bmp");
    }

    // Runs the game, `onPump` at the start of every pass from 1; after 10,000 passes it fails.
    int RunGame(std::function<void(int pump)> onPump, const char* commandLine = nullptr) {
        scripted::OnPump([onPump](int pump) {
            onPump(pump);
            if (pump == 10000) {
                ADD_FAILURE() << "the game did not end";
                scripted::SetKey(VK_ESCAPE, true);
            }
        });
        std::string line = commandLine ? commandLine : "";
        return WinMain(Instance, nullptr, commandLine ? line.data() : nullptr, 1);
    }

    TempDir dir_;
};

// A backlog drains one message a pass, each with a frame; Escape's frame posts the quit alone.
TEST_F(EntryTest, OneMessageThenOneFramePerPassUntilAnOrderlyEnd) {
    std::ofstream("Log.txt") << "from an earlier run\n";
    int pumpsWithCursor = 0;
    RunGame([&pumpsWithCursor](int pump) {
        for (int m = 0; pump == 1 && m < 3; ++m)
            PostMessageA(mainWindow, WM_NULL, 0, 0); // the default handling takes it
        if (scripted::CursorVisible())
            ++pumpsWithCursor;
        scripted::SetKey(VK_ESCAPE, pump == 5);
    });
    EXPECT_EQ(Passes(), "BPDFPDFPDFPFPPE");
    EXPECT_EQ(ReadFile("Log.txt"), ExitLine);
    EXPECT_EQ(pumpsWithCursor, 0);
}

// Closing the window destroys it, taking the screen with it, and its destruction posts the quit.
TEST_F(EntryTest, ClosingTheWindowEndsTheGameInOrder) {
    const int exitCode = RunGame([](int pump) {
        if (pump == 3)
            scripted::RequestClose();
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(Passes(), "BPFPFPDPE");
}

// Every failure: its box (owner, text, caption, style), on the GDI page once the game holds the
// screen, then its log line; a failed start-up exits with 1 and runs no frame, a failed clear
// ends its frame before the play step, any other item is left out of a frame that goes on, and
// surfaces lost during a frame end it unreported. One frame is drawn, then Escape.
TEST_F(EntryTest, EachFailureShowsItsBoxLogsItsLineAndGoesOnAsItShould) {
    struct {
        const char* call; // made to fail once, after `skip` calls that go through
        int skip;
        const char* box; // owner|text|caption|style, "" for none
        int exitCode;
        int flips, blits;
        LONG ballX1;               // 395 once the frame's play step ran
        bool gdiFirst;             // the GDI page brought up before the box
        const char* log = nullptr; // before the exit line; none: the box's text
        HRESULT code = DDERR_GENERIC;
    } const cases[] = {
        {"RegisterClassExA", 0, "none|Window Registration Failed!|Error!|16", 1, 0, 0, 397, false},
        {"CreateWindowExA", 0, "none|Window Creation Failed!|Error!|16", 1, 0, 0, 397, false},
        {"DirectDrawCreate", 0, "window|DirectDrawCreate Failed|ERROR|16", 1, 0, 0, 397, false},
        {"QueryInterface", 0, "window|QueryInterface Failed|ERROR|16", 1, 0, 0, 397, false},
        {"SetCooperativeLevel", 0, "window|SetCooperativeLevel Failed|ERROR|16", 1, 0, 0, 397,
         false},
        {"CreateSurface", 0, "window|CreateSurface Failed|ERROR|16", 1, 0, 0, 397, false},
        {"GetAttachedSurface", 0, "window|GetAttachedSurface Failed|ERROR|16", 1, 0, 0, 397, true},
        // The title's failures: the game plays on without it.
        {"CreateSurface", 1, "window|NewSurface Failed|ERROR|16", 0, 1, 8, 395, true},
        {"Lock", 0, "window|Lock Failed|ERROR|16", 0, 1, 8, 395, true},
        // Kept on purpose: a failed unlock says "hi", logs nothing, and the title is used (its
        // blit then refused while the surface stays locked).
        {"Unlock", 0, "window|hi|rgfdgsdg|0\nwindow|Title blt Failed|Error|0", 0, 1, 9, 395, true,
         "Title Blt Failed"},
        {"Blt", 0, "window|Clear Screen Blt Failed|Error|0", 0, 0, 1, 397, true},
        {"Blt", 1, "window|Player Paddle Blt Failed|Error|0", 0, 1, 9, 395, true},
        {"Blt", 2, "window|Enemy Paddle Blt Failed|Error|0", 0, 1, 9, 395, true},
        {"Blt", 3, "window|Ball Blt Failed|Error|0", 0, 1, 9, 395, true},
        // Kept on purpose: for the walls and the title the box says "blt", the log "Blt".
        {"Blt", 4, "window|SideTop blt Failed|Error|0", 0, 1, 9, 395, true, "SideTop Blt Failed"},
        {"Blt", 5, "window|SideRight blt Failed|Error|0", 0, 1, 9, 395, true,
         "SideRight Blt Failed"},
        {"Blt", 6, "window|SideBottom blt Failed|Error|0", 0, 1, 9, 395, true,
         "SideBottom Blt Failed"},
        {"Blt", 7, "window|SideLeft blt Failed|Error|0", 0, 1, 9, 395, true, "SideLeft Blt Failed"},
        {"Blt", 8, "window|Title blt Failed|Error|0", 0, 1, 9, 395, true, "Title Blt Failed"},
        // Surfaces lost during the frame: it ends unreported.
        {"Blt", 0, "", 0, 0, 1, 397, false, "", DDERR_SURFACELOST},
        {"Blt", 1, "", 0, 0, 2, 395, false, "", DDERR_SURFACELOST},
        {"Flip", 0, "", 0, 1, 9, 395, false, "", DDERR_SURFACELOST},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " " + std::to_string(c.skip) + " " + c.box);
        ResetEverything();
        scripted::FailCallAfter(c.call, c.skip, 1, c.code);
        EXPECT_EQ(RunGame([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 2); }), c.exitCode);
        EXPECT_EQ(Boxes(), c.box);
        const std::string box = c.box;
        const size_t from = box.find('|') + 1;
        const std::string text = c.log ? c.log : box.substr(from, box.find('|', from) - from);
        std::string log = text.empty() ? "" : text + "\n";
        if (c.exitCode == 0)
            log += ExitLine;
        EXPECT_EQ(ReadFile("Log.txt"), log);
        EXPECT_EQ(scripted::CallCount("Flip"), c.flips);
        EXPECT_EQ(scripted::CallCount("timeBeginPeriod"), c.exitCode == 0);
        EXPECT_EQ(scripted::CallCount("timeEndPeriod"), c.exitCode == 0);
        EXPECT_EQ(scripted::CallCount("Blt"), c.blits);
        EXPECT_EQ(Ball.x1, c.ballX1);
        const std::vector<std::string> calls = scripted::CallNames();
        const auto boxCall = std::find(calls.begin(), calls.end(), "MessageBoxA");
        EXPECT_EQ(boxCall != calls.end() && boxCall[-1] == "FlipToGDISurface", c.gdiFirst);
        EXPECT_TRUE(scripted::CursorVisible());
        EXPECT_EQ(PortLiveObjects(), 0);
    }
}

// The window class and the window, read from the calls that made them.
TEST_F(EntryTest, TheWindowIsAVisiblePopupOf1024By768WithTheGamesIcon) {
    RunGame([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 1); });
    const scripted::Call windowClass = scripted::CallsNamed("RegisterClassExA").at(0);
    const scripted::Call window = scripted::CallsNamed("CreateWindowExA").at(0);
    const std::vector<scripted::Call> icons = scripted::CallsNamed("LoadIconA");
    const scripted::Call cursor = scripted::CallsNamed("LoadCursorA").at(0);
    const struct {
        const char* argument;
        long long actual;
        long long expected;
    } arguments[] = {
        // No background brush, so the window is never erased behind the display.
        {"class style", windowClass.args[1], 0},
        {"class lpfnWndProc", windowClass.args[2], Arg(reinterpret_cast<void*>(WndProc))},
        {"class cbWndExtra", windowClass.args[4], 0},
        {"class hIcon", windowClass.args[6], Arg(LoadIconA(Instance, MAKEINTRESOURCEA(101)))},
        {"class hCursor", windowClass.args[7], Arg(LoadCursorA(nullptr, IDC_ARROW))},
        {"class hbrBackground", windowClass.args[8], 0},
        {"icon's instance", icons.at(0).args[0], Arg(Instance)},
        {"icon's resource", icons.at(0).args[1], 101},
        {"small icon's instance", icons.at(1).args[0], Arg(Instance)},
        {"small icon's resource", icons.at(1).args[1], 101},
        {"cursor's instance", cursor.args[0], 0},
        {"cursor's resource", cursor.args[1], 32512},
        {"class hIconSm", windowClass.args[9], Arg(LoadIconA(Instance, MAKEINTRESOURCEA(101)))},
        {"window style", window.args[1], WS_POPUP | WS_VISIBLE},
        {"window x", window.args[2], 0},
        {"window width", window.args[4], 1024},
        {"window height", window.args[5], 768},
    };
    for (const auto& a : arguments)
        EXPECT_EQ(a.actual, a.expected) << a.argument;
    // The names another program finds the game's window by.
    EXPECT_EQ(windowClass.text[0], "WindowClass");
    EXPECT_EQ(window.text[1], "Vantorel");
}

// The integer arguments of the named calls from the `from`-th call on, "name a,b,c;" each, up to
// the last that is not 0.
std::string Args(const std::string& name, size_t from, size_t count) {
    std::string text;
    for (size_t i = from; i < scripted::Calls().size(); ++i) {
        const scripted::Call& call = scripted::Calls()[i];
        if (call.name != name)
            continue;
        text += name;
        for (size_t a = 0; a < count; ++a)
            text += (a ? "," : " ") + std::to_string(call.args[a]);
        text += ';';
    }
    return text;
}

// In a window, asked for or where the mode can't be had: the normal level, a framed 800 x 600
// client area, 5-6-5 surfaces, and through GDI the same pages as on the full screen. No box.
TEST_F(EntryTest, AWindowShowsTheFullScreensPages) {
    RunGame([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 3); });
    const std::vector<WORD> fullScreen = scripted::LastPresent().pixels;
    const struct {
        const char* commandLine;
        const char* failing;
        std::string log;
    } starts[] = {
        {"-x --window", nullptr, ExitLine},
        {"--windows", "SetDisplayMode",
         std::string("SetDisplayMode Failed: playing in a window\n") + ExitLine},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.commandLine);
        ResetEverything();
        if (start.failing)
            scripted::FailCall(start.failing);
        EXPECT_EQ(
            RunGame([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 3); }, start.commandLine),
            0);
        EXPECT_EQ(Boxes(), "");
        EXPECT_EQ(ReadFile("Log.txt"), start.log);
        EXPECT_FALSE(scripted::DisplayModeSet());
        EXPECT_EQ(Args("ShowCursor", 0, 1), "ShowCursor 0;ShowCursor 1;ShowCursor 1;");
        EXPECT_EQ(scripted::PresentCount(), 2);
        EXPECT_TRUE(scripted::LastPresent().pixels == fullScreen);
        const std::string level = "SetCooperativeLevel " + std::to_string(Arg(mainWindow));
        EXPECT_EQ(Args("SetCooperativeLevel", 0, 2),
                  (start.failing ? level + ",19;" : "") + level + ",8;");
        EXPECT_EQ(Args("SetWindowLongA", 0, 2),
                  "SetWindowLongA -16," + std::to_string(WS_OVERLAPPEDWINDOW | WS_VISIBLE) + ";");
        EXPECT_EQ(Args("SetWindowPos", 0, 6), "SetWindowPos -2,0,0,800,600,32;");
        EXPECT_EQ(Args("SetStretchBltMode", 0, 1), "SetStretchBltMode 3;SetStretchBltMode 3;");
        // The back buffer and the title, both in the game's 5-6-5 pixels.
        EXPECT_EQ(Args("CreateSurface", 0, 10),
                  "CreateSurface 4103,64,800,600,0,0,16,63488,2016,31;CreateSurface "
                  "4103,64,700,120,0,0,16,63488,2016,31;");
        // The port copies only a whole surface, with SRCCOPY, as a page.
        EXPECT_EQ(Args("StretchBlt", 0, 4), "StretchBlt 0,0,800,600;StretchBlt 0,0,800,600;");
        EXPECT_EQ(PortLiveObjects(), 0);
    }
    EXPECT_FALSE(AskedForWindow("x--window\t--window2"));
    EXPECT_TRUE(AskedForWindow("\t--window"));
}

// A window of any size shows the largest 4:3 picture centred, the rest black; minimised, none.
TEST_F(EntryTest, TheWindowsPictureKeepsItsShapeWithBlackBars) {
    const struct {
        int width, height;
        const char* drawn; // StretchBlt's target, then PatBlt's bars
    } sizes[] = {
        {1001, 600, "StretchBlt 100,0,800,600;PatBlt 0,0,100,600,66;PatBlt 900,0,101,600,66;"},
        {800, 701, "StretchBlt 0,50,800,600;PatBlt 0,0,800,50,66;PatBlt 0,650,800,51,66;"},
        {400, 300, "StretchBlt 0,0,400,300;"},
        {0, 600, ""},
        {800, 0, ""},
    };
    const int count = static_cast<int>(std::size(sizes));
    size_t from = 0;
    RunGame(
        [&](int pump) {
            if (pump > 1 && pump - 2 < count) {
                const auto& size = sizes[pump - 2];
                EXPECT_EQ(Args("StretchBlt", from, 4) + Args("PatBlt", from, 5), size.drawn)
                    << size.width;
            }
            scripted::SetKey(VK_ESCAPE, pump > count);
            if (pump <= count)
                SetWindowPos(mainWindow, nullptr, 0, 0, sizes[pump - 1].width,
                             sizes[pump - 1].height, 0);
            from = scripted::Calls().size();
        },
        "--window");
}

// Alt+Enter goes to a window and back between frames, in play and at a prompt, which stays:
// its Enter answers nothing, not even held on after Alt. Repeats and a bare Enter switch nothing.
// The window's lost surfaces come back in the next frame, the title read again; while another
// program holds the screen the window waits.
TEST_F(EntryTest, AltEnterSwitchesBetweenTheFullScreenAndAWindow) {
    youLose = true;
    std::string seen;
    int presents = 0;
    std::vector<WORD> title;
    RunGame([&](int pump) {
        if (pump > 1)
            seen += std::string(scripted::PresentCount() > presents ? "" : "!") +
                    (scripted::DisplayModeSet() ? "F" : "W") + (youLose ? "p " : "- ");
        presents = scripted::PresentCount();
        const std::vector<WORD>& page = scripted::LastPresent().pixels;
        if (pump == 2)
            title.assign(page.begin(), page.begin() + 800 * 122);
        if (pump == 6) {
            EXPECT_TRUE(std::equal(title.begin(), title.end(), page.begin()));
        }
        // Alt and Enter held a pass before their message comes, and Enter held after Alt.
        scripted::SetKey(VK_MENU, pump == 2 || pump == 3 || pump == 9);
        scripted::SetKey(VK_RETURN, pump == 2 || pump == 3 || pump == 4 || pump == 6 || pump == 9);
        if (pump == 3 || pump == 9)
            PortAltEnter();
        if (pump == 5)
            PortLoseSurfaces();
        if (pump == 7)
            scripted::TakeDisplay();
        if (pump == 8)
            scripted::GiveDisplay();
        if (pump == 10)
            PostMessageA(mainWindow, WM_SYSKEYDOWN, VK_RETURN, (1 << 29) | (1 << 30));
        if (pump == 11)
            PostMessageA(mainWindow, WM_SYSKEYDOWN, VK_RETURN, 1);
        scripted::SetKey(VK_ESCAPE, pump == 12);
    });
    EXPECT_EQ(seen, "Fp Fp Wp Wp Wp W- !W- W- F- F- F- !F- ");
    EXPECT_EQ(Args("SetWindowLongA", 0, 2),
              "SetWindowLongA -16," + std::to_string(WS_OVERLAPPEDWINDOW | WS_VISIBLE) +
                  ";SetWindowLongA -16," +
                  std::to_string(static_cast<LONG>(WS_POPUP | WS_VISIBLE)) + ";");
    EXPECT_EQ(ReadFile("Log.txt"), ExitLine);
    EXPECT_EQ(PortLiveObjects(), 0);
}

// A log that cannot be opened (a directory stands in its place) gives a box at every call.
TEST_F(EntryTest, ALogThatCannotBeOpenedGivesABoxAtEveryCall) {
    std::filesystem::create_directory("Log.txt");
    ClearLog();
    ReportFailure(nullptr, "SetDisplayMode Failed", "ERROR", MB_ICONERROR, "SetDisplayMode Failed");
    EXPECT_EQ(Boxes(), "none|Could not open Log File.|Error|16\n" // ClearLog
                       "none|SetDisplayMode Failed|ERROR|16\n"    // the report's own box
                       "none|Could not open Log File.|Error|16"); // the report's log line
}

} // namespace
