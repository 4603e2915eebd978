// The program run whole through the scripted host (WinMain returns once a pump handler presses
// Escape or asks the window to close), and the log that cannot be opened.
#include <windows.h>

#include "scripted_host.h"
#include "shell/log.h"
#include "shell/main_window.h"
#include "shell/window_proc.h"
#include "support/test_support.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const HINSTANCE Instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
const char* const ExitLine = "Game successfully returning...\n";

// The loop's calls in order: P for PeekMessageA, which starts a pass, D for a dispatched
// message, F for a presented frame.
std::string Passes() {
    std::string passes;
    for (const std::string& call : scripted::CallNames())
        if (call == "PeekMessageA" || call == "DispatchMessageA" || call == "Flip")
            passes += call[0];
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

    // Runs the game; `onPump` runs at the start of every pass, numbered from 1. A game still
    // running after 10,000 passes has missed its way out: Escape ends it and the test fails.
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

    static void EscapeAt(int pump, int escapePump) {
        scripted::SetKey(VK_ESCAPE, pump == escapePump);
    }

    TempDir dir_;
};

TEST_F(EntryTest, OneMessageThenOneFramePerPassUntilAnOrderlyEnd) {
    const struct {
        const char* rule;
        int messages; // posted in the first pass
        int endPump;  // where Escape goes down or, with `close`, the window is asked to close
        bool close;
        const char* passes;
    } cases[] = {
        {"Escape's frame draws nothing and posts the quit message", 0, 4, false, "PFPFPFPP"},
        {"a backlog drains one message a pass, each with a frame", 3, 5, false, "PDFPDFPDFPFPP"},
        // The window takes the screen with it, so the last frame finds the display gone.
        {"closing destroys the window, whose destruction posts the quit", 0, 3, true, "PFPFPDP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        ResetEverything();
        std::ofstream("Log.txt") << "from an earlier run\n";
        int pumpsWithCursor = 0;
        const int exitCode = RunGame([&](int pump) {
            for (int m = 0; pump == 1 && m < c.messages; ++m)
                PostMessageA(mainWindow, WM_NULL, 0, 0); // the default handling takes it
            if (scripted::CursorVisible())
                ++pumpsWithCursor;
            if (pump == c.endPump && c.close)
                scripted::RequestClose();
            if (pump == c.endPump && !c.close)
                scripted::SetKey(VK_ESCAPE, true);
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(Passes(), c.passes);
        EXPECT_EQ(ReadFile("Log.txt"), ExitLine);
        EXPECT_EQ(PortLiveObjects(), 0) << "the display was given back";
        EXPECT_TRUE(scripted::MessageBoxes().empty());
        EXPECT_EQ(pumpsWithCursor, 0);
        EXPECT_TRUE(scripted::CursorVisible()) << "shown again at the end";
    }
}

// Each failure the game reports: the box, on the page GDI draws on while the game holds the
// screen, then its log line; a failed start-up exits with 1, a failed clear ends its frame
// unshown, any other failed drawing step leaves its item out of a frame that is shown.
TEST_F(EntryTest, EachFailureShowsItsBoxAndLogsItsLine) {
    const struct {
        const char* call; // made to fail once, after `skip` calls that go through
        int skip;
        const char* box;
        const char* caption;
        UINT style;
        const char* log; // before the exit line
        int exitCode;
        int flips;     // the failing frame's and Escape's
        bool gdiFirst; // the GDI page brought up before the box
    } cases[] = {
        {"RegisterClassExA", 0, "Window Registration Failed!", "Error!", MB_ICONERROR,
         "Window Registration Failed!\n", 1, 0, false},
        {"CreateWindowExA", 0, "Window Creation Failed!", "Error!", MB_ICONERROR,
         "Window Creation Failed!\n", 1, 0, false},
        {"DirectDrawCreate", 0, "DirectDrawCreate Failed", "ERROR", MB_ICONERROR,
         "DirectDrawCreate Failed\n", 1, 0, false},
        {"QueryInterface", 0, "QueryInterface Failed", "ERROR", MB_ICONERROR,
         "QueryInterface Failed\n", 1, 0, false},
        {"SetCooperativeLevel", 0, "SetCooperativeLevel Failed", "ERROR", MB_ICONERROR,
         "SetCooperativeLevel Failed\n", 1, 0, false},
        {"SetDisplayMode", 0, "SetDisplayMode Failed", "ERROR", MB_ICONERROR,
         "SetDisplayMode Failed\n", 1, 0, false},
        {"CreateSurface", 0, "CreateSurface Failed", "ERROR", MB_ICONERROR,
         "CreateSurface Failed\n", 1, 0, false},
        {"GetAttachedSurface", 0, "GetAttachedSurface Failed", "ERROR", MB_ICONERROR,
         "GetAttachedSurface Failed\n", 1, 0, true},
        {"CreateSurface", 1, "NewSurface Failed", "ERROR", MB_ICONERROR, "NewSurface Failed\n", 0,
         1, true},
        {"Lock", 0, "Lock Failed", "ERROR", MB_ICONERROR, "Lock Failed\n", 0, 1, true},
        {"Blt", 0, "Clear Screen Blt Failed", "Error", MB_OK, "Clear Screen Blt Failed\n", 0, 0,
         true},
        {"Blt", 1, "Player Paddle Blt Failed", "Error", MB_OK, "Player Paddle Blt Failed\n", 0, 1,
         true},
        {"Blt", 2, "Enemy Paddle Blt Failed", "Error", MB_OK, "Enemy Paddle Blt Failed\n", 0, 1,
         true},
        {"Blt", 3, "Ball Blt Failed", "Error", MB_OK, "Ball Blt Failed\n", 0, 1, true},
        // Kept on purpose: for the walls and the title the box says "blt", the log "Blt".
        {"Blt", 4, "SideTop blt Failed", "Error", MB_OK, "SideTop Blt Failed\n", 0, 1, true},
        {"Blt", 5, "SideRight blt Failed", "Error", MB_OK, "SideRight Blt Failed\n", 0, 1, true},
        {"Blt", 6, "SideBottom blt Failed", "Error", MB_OK, "SideBottom Blt Failed\n", 0, 1, true},
        {"Blt", 7, "SideLeft blt Failed", "Error", MB_OK, "SideLeft Blt Failed\n", 0, 1, true},
        {"Blt", 8, "Title blt Failed", "Error", MB_OK, "Title Blt Failed\n", 0, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        ResetEverything();
        std::string callBeforeBox;
        scripted::OnMessageBox([&callBeforeBox](const scripted::MessageBoxRecord&) {
            callBeforeBox = scripted::Calls()[scripted::Calls().size() - 2].name;
            return IDOK;
        });
        scripted::FailCallAfter(c.call, c.skip);
        EXPECT_EQ(RunGame([](int pump) { EscapeAt(pump, 2); }), c.exitCode);
        ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
        const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
        EXPECT_EQ(box.owner, mainWindow) << "the game's window, once there is one";
        EXPECT_EQ(box.text, c.box);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.style, c.style);
        std::string log = c.log;
        if (c.exitCode == 0)
            log += ExitLine;
        EXPECT_EQ(ReadFile("Log.txt"), log);
        EXPECT_EQ(scripted::CallCount("Flip"), c.flips);
        EXPECT_EQ(callBeforeBox == "FlipToGDISurface", c.gdiFirst);
        EXPECT_TRUE(scripted::CursorVisible());
        EXPECT_EQ(PortLiveObjects(), 0);
    }
}

// The window class and the window, read from the calls that made them.
TEST_F(EntryTest, TheWindowIsAVisiblePopupOf1024By768WithTheGamesIcon) {
    RunGame([](int pump) { EscapeAt(pump, 1); });
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

// A log that cannot be opened (here a directory stands in its place) gives a box of its own,
// owned by no window, at every call, and the game goes on.
TEST_F(EntryTest, ALogThatCannotBeOpenedGivesABoxAtEveryCall) {
    std::filesystem::create_directory("Log.txt");
    ClearLog();
    ReportFailure(nullptr, "SetDisplayMode Failed", "ERROR", MB_ICONERROR, "SetDisplayMode Failed");
    std::vector<std::string> boxes;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes()) {
        boxes.push_back(box.text + " | " + box.caption + " | " + std::to_string(box.style));
        EXPECT_EQ(box.owner, nullptr);
    }
    const std::vector<std::string> expected = {
        "Could not open Log File. | Error | 16", // ClearLog
        "SetDisplayMode Failed | ERROR | 16",    // the report's own box
        "Could not open Log File. | Error | 16", // the report's log line
    };
    EXPECT_EQ(boxes, expected);
}

} // namespace
