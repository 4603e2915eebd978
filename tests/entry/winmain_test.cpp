// The entry and main loop, run whole through the scripted host: WinMain returns once a pump
// handler presses Escape or asks the window to close.
#include <windows.h>

#include "test_hooks.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "shell/window_proc.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const HINSTANCE Instance = reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});

// A game still running after this many passes has missed its way out: Escape ends it, and the
// test fails instead of waiting for ever.
constexpr int RunawayPump = 10000;

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

    // Runs the game; `onPump` runs at the start of every pass, numbered from 1.
    int RunGame(std::function<void(int pump)> onPump, LPSTR commandLine = nullptr,
                int showCommand = 1) {
        scripted::OnPump([onPump](int pump) {
            onPump(pump);
            if (pump == RunawayPump) {
                ADD_FAILURE() << "the game did not end";
                scripted::SetKey(VK_ESCAPE, true);
            }
        });
        return WinMain(Instance, nullptr, commandLine, showCommand);
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
        const int exitCode = RunGame([&c](int pump) {
            for (int m = 0; pump == 1 && m < c.messages; ++m)
                PostMessageA(mainWindow, WM_NULL, 0, 0); // the default handling takes it
            if (pump == c.endPump && c.close)
                scripted::RequestClose();
            if (pump == c.endPump && !c.close)
                scripted::SetKey(VK_ESCAPE, true);
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(Passes(), c.passes);
        EXPECT_EQ(ReadFile("Log.txt"), "Game successfully returning...\n");
        EXPECT_EQ(PortLiveObjects(), 0) << "the display was given back";
        EXPECT_TRUE(scripted::MessageBoxes().empty());
    }
}

TEST_F(EntryTest, TheCursorIsHiddenWhileFramesRun) {
    int pumpsWithCursor = 0;
    RunGame([&pumpsWithCursor](int pump) {
        if (scripted::CursorVisible())
            ++pumpsWithCursor;
        EscapeAt(pump, 5);
    });
    EXPECT_EQ(pumpsWithCursor, 0);
    EXPECT_TRUE(scripted::CursorVisible()) << "shown again at the end";
}

// The window class and the window, read from the calls that made them.
TEST_F(EntryTest, TheWindowIsAVisiblePopupOf1024By768WithTheGamesIcon) {
    RunGame([](int pump) { EscapeAt(pump, 1); });
    const std::vector<scripted::Call> registered = scripted::CallsNamed("RegisterClassExA");
    const std::vector<scripted::Call> created = scripted::CallsNamed("CreateWindowExA");
    ASSERT_EQ(registered.size(), 1u);
    ASSERT_EQ(created.size(), 1u);
    const scripted::Call& windowClass = registered[0];
    const scripted::Call& window = created[0];

    const struct {
        const char* argument;
        long long actual;
        long long expected;
    } arguments[] = {
        // The class: the game's procedure, no style and no extra bytes; both icons are
        // resource 101 of the program's own instance, the cursor the system's arrow. No
        // background brush, so the window is never erased behind the display.
        {"class style", windowClass.args[1], 0},
        {"class lpfnWndProc", windowClass.args[2], Arg(reinterpret_cast<void*>(WndProc))},
        {"class cbWndExtra", windowClass.args[4], 0},
        {"class hIcon", windowClass.args[6], Arg(LoadIconA(Instance, MAKEINTRESOURCEA(101)))},
        {"class hCursor", windowClass.args[7], Arg(LoadCursorA(nullptr, IDC_ARROW))},
        {"class hbrBackground", windowClass.args[8], 0},
        {"class hIconSm", windowClass.args[9], Arg(LoadIconA(Instance, MAKEINTRESOURCEA(101)))},
        // The window: a plain visible popup at the top-left, 1024 x 768.
        {"window exStyle", window.args[0], 0},
        {"window style", window.args[1], WS_POPUP | WS_VISIBLE},
        {"window x", window.args[2], 0},
        {"window y", window.args[3], 0},
        {"window width", window.args[4], 1024},
        {"window height", window.args[5], 768},
    };
    for (const auto& a : arguments)
        EXPECT_EQ(a.actual, a.expected) << a.argument;
    // The names another program finds the game's window by.
    EXPECT_EQ(windowClass.text[0], "WindowClass");
    EXPECT_EQ(window.text[1], "Vantorel");
}

TEST_F(EntryTest, AFailedStartUpReportsOnceAndExitsWithOne) {
    // The display's steps run with the window up and the cursor hidden; the window's do not.
    const struct {
        const char* failingCall;
        const char* text;
        const char* caption;
        bool windowMade;
    } cases[] = {
        {"RegisterClassExA", "Window Registration Failed!", "Error!", false},
        {"CreateWindowExA", "Window Creation Failed!", "Error!", false},
        {"SetDisplayMode", "SetDisplayMode Failed", "ERROR", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingCall);
        ResetEverything();
        scripted::FailCall(c.failingCall);
        EXPECT_EQ(RunGame([](int) {}), 1);
        ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
        const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
        EXPECT_EQ(mainWindow != nullptr, c.windowMade);
        EXPECT_EQ(box.owner, mainWindow) << "the game's window, once there is one";
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.style, UINT{MB_ICONERROR});
        EXPECT_EQ(ReadFile("Log.txt"), std::string(c.text) + "\n");
        EXPECT_EQ(scripted::CallCount("ShowCursor"), c.windowMade ? 2 : 0);
        EXPECT_TRUE(scripted::CursorVisible());
        EXPECT_EQ(PortLiveObjects(), 0);
    }
}

// The window is visible through its style alone, and the game takes no options.
TEST_F(EntryTest, TheCommandLineAndShowCommandChangeNothing) {
    char options[] = "-windowed /w 640 /h 480 FinalTitle.bmp";
    RunGame([](int pump) { EscapeAt(pump, 3); });
    const std::vector<std::string> plain = scripted::CallNames();
    ResetEverything();
    RunGame([](int pump) { EscapeAt(pump, 3); }, options, 0);
    EXPECT_EQ(scripted::CallNames(), plain);
}

} // namespace
