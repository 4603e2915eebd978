// The program run whole through the scripted host (WinMain returns once a pump handler presses
// Escape), and the log that cannot be opened.

#include "scripted_host.h"
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

// The boxes shown so far, one "text|caption|style" each.
std::vector<std::string> Boxes() {
    std::vector<std::string> boxes;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes())
        boxes.push_back(box.text + '|' + box.caption + '|' + std::to_string(box.style));
    return boxes;
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
    int RunGame(std::function<void(int pump)> onPump) {
        scripted::OnPump([onPump](int pump) {
            onPump(pump);
            if (pump == 10000) {
                ADD_FAILURE() << "the game did not end";
                scripted::SetKey(VK_ESCAPE, true);
            }
        });
        return WinMain(Instance, nullptr, nullptr, 1);
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

// Each failure's box, on the GDI page while the game holds the screen, then its log line; a
// failed start-up exits with 1, a failed clear ends its frame unshown, other items are left out.
TEST_F(EntryTest, EachFailureShowsItsBoxAndLogsItsLine) {
    const struct {
        const char* call; // made to fail once, after `skip` calls that go through
        int skip;
        const char* box; // text|caption|style
        const char* log; // before the exit line
        int exitCode;
        int flips;     // the failing frame's and Escape's
        bool gdiFirst; // the GDI page brought up before the box
    } cases[] = {
        {"RegisterClassExA", 0, "Window Registration Failed!|Error!|16",
         "Window Registration Failed!", 1, 0, false},
        {"CreateWindowExA", 0, "Window Creation Failed!|Error!|16", "Window Creation Failed!", 1, 0,
         false},
        {"SetDisplayMode", 0, "SetDisplayMode Failed|ERROR|16", "SetDisplayMode Failed", 1, 0,
         false},
        {"CreateSurface", 0, "CreateSurface Failed|ERROR|16", "CreateSurface Failed", 1, 0, false},
        {"GetAttachedSurface", 0, "GetAttachedSurface Failed|ERROR|16", "GetAttachedSurface Failed",
         1, 0, true},
        {"CreateSurface", 1, "NewSurface Failed|ERROR|16", "NewSurface Failed", 0, 1, true},
        {"Lock", 0, "Lock Failed|ERROR|16", "Lock Failed", 0, 1, true},
        {"Blt", 0, "Clear Screen Blt Failed|Error|0", "Clear Screen Blt Failed", 0, 0, true},
        // Kept on purpose: for the walls and the title the box says "blt", the log "Blt".
        {"Blt", 4, "SideTop blt Failed|Error|0", "SideTop Blt Failed", 0, 1, true},
        {"Blt", 7, "SideLeft blt Failed|Error|0", "SideLeft Blt Failed", 0, 1, true},
        {"Blt", 8, "Title blt Failed|Error|0", "Title Blt Failed", 0, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        ResetEverything();
        scripted::FailCallAfter(c.call, c.skip);
        EXPECT_EQ(RunGame([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 2); }), c.exitCode);
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.box});
        std::string log = std::string(c.log) + "\n";
        if (c.exitCode == 0)
            log += ExitLine;
        EXPECT_EQ(ReadFile("Log.txt"), log);
        EXPECT_EQ(scripted::CallCount("Flip"), c.flips);
        EXPECT_EQ(scripted::CallCount("timeBeginPeriod"), c.exitCode == 0);
        EXPECT_EQ(scripted::CallCount("timeEndPeriod"), c.exitCode == 0);
        const std::vector<std::string> calls = scripted::CallNames();
        const auto boxCall = std::find(calls.begin(), calls.end(), "MessageBoxA");
        EXPECT_EQ(boxCall[-1] == "FlipToGDISurface", c.gdiFirst);
        EXPECT_TRUE(scripted::CursorVisible());
        EXPECT_EQ(PortLiveObjects(), 0);
    }
}

// The window class and the window, read from the calls that made them.
TEST_F(EntryTest, TheWindowIsAVisiblePopupOf1024By768WithTheGamesIcon) {
    RunGame([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 1); });
    const scripted::Call windowClass = scripted::CallsNamed("RegisterClassExA").at(0);
    const scripted::Call window = scripted::CallsNamed("CreateWindowExA").at(0);
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

// A log that cannot be opened (a directory stands in its place) gives a box at every call.
TEST_F(EntryTest, ALogThatCannotBeOpenedGivesABoxAtEveryCall) {
    std::filesystem::create_directory("Log.txt");
    ClearLog();
    ReportFailure(nullptr, "SetDisplayMode Failed", "ERROR", MB_ICONERROR, "SetDisplayMode Failed");
    const std::vector<std::string> expected = {
        "Could not open Log File.|Error|16", // ClearLog
        "SetDisplayMode Failed|ERROR|16",    // the report's own box
        "Could not open Log File.|Error|16", // the report's log line
    };
    EXPECT_EQ(Boxes(), expected);
}

} // namespace
