// The entry and main loop, run whole through the scripted host: WinMain returns once a pump
// handler presses Escape or asks the window to close.
#include <windows.h>

#include "host.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const HINSTANCE Instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
const char* const ExitLine = "Game successfully returning...\n";
constexpr UINT GameMessage = 0x0401; // a message nobody handles: the default handling takes it

// The passes of the loop, from the host's record of calls: each PeekMessageA starts a pass,
// written as "D" for a dispatched message and "F" for a presented frame ("-" for neither).
std::string Passes() {
    std::string passes;
    for (const char* call : scripted::Calls()) {
        if (!std::strcmp(call, "PeekMessageA"))
            passes += passes.empty() ? "-" : " -";
        else if (passes.empty())
            continue;
        else if (!std::strcmp(call, "DispatchMessageA") || !std::strcmp(call, "Flip")) {
            if (passes.back() == '-')
                passes.pop_back();
            passes += call[0];
        }
    }
    return passes;
}

int RunGame(LPSTR commandLine = nullptr, int showCommand = 1) {
    return WinMain(Instance, nullptr, commandLine, showCommand);
}

// Escape goes down in the pump of the given pass, so that pass's frame posts the quit message.
void PressEscapeAt(int pass) {
    scripted::OnPump([pass](int pump) {
        if (pump == pass)
            scripted::SetKey(VK_ESCAPE, true);
    });
}

class EntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        std::filesystem::copy_file(TITLE_FILE, "FinalTitle.bmp");
    }

    TempDir dir_;
};

TEST_F(EntryTest, OneMessageThenOneFramePerPass) {
    struct Case {
        int messages; // posted to the window in the first pump
        int escapeAt;
        const char* passes;
    };
    const Case cases[] = {
        // An empty queue: a frame every pass; Escape's frame draws nothing; then the quit pass.
        {0, 4, "F F F - -"},
        // A backlog of three drains one message a pass, each pass still with its frame.
        {3, 5, "DF DF DF F - -"},
        // Escape held from the first pass: the quit message waits behind the backlog.
        {3, 1, "D D D -"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        ResetEverything();
        scripted::OnPump([&c](int pump) {
            if (pump == 1)
                for (int m = 0; m < c.messages; ++m)
                    PostMessageA(mainWindow, GameMessage, static_cast<WPARAM>(m), 0);
            if (pump == c.escapeAt)
                scripted::SetKey(VK_ESCAPE, true);
        });
        EXPECT_EQ(RunGame(), 0) << "case " << i;
        EXPECT_EQ(Passes(), c.passes) << "case " << i;
    }
}

TEST_F(EntryTest, StartsInOrderAndRunsWithTheCursorHidden) {
    bool hiddenWhileRunning = false;
    scripted::OnPump([&](int pump) {
        hiddenWhileRunning = !scripted::CursorVisible();
        if (pump == 2)
            scripted::SetKey(VK_ESCAPE, true);
    });
    ASSERT_EQ(RunGame(), 0);

    const std::vector<std::string> startUp = {"LoadIconA",        "LoadCursorA",     "LoadIconA",
                                              "RegisterClassExA", "CreateWindowExA", "ShowCursor",
                                              "DirectDrawCreate"};
    std::vector<std::string> seen;
    for (const char* call : scripted::Calls())
        if (std::count(startUp.begin(), startUp.end(), call) && seen.size() < startUp.size())
            seen.push_back(call);
    EXPECT_EQ(seen, startUp);
    EXPECT_TRUE(hiddenWhileRunning);
    EXPECT_EQ(scripted::WindowCaption(), "Vantorel");
    EXPECT_EQ(scripted::WindowWidth(), 1024);
    EXPECT_EQ(scripted::WindowHeight(), 768);
}

TEST_F(EntryTest, EscapeAndCloseRequestBothEndInOrder) {
    for (int closing = 0; closing < 2; ++closing) {
        ResetEverything();
        scripted::OnPump([closing](int pump) {
            if (pump != 3)
                return;
            if (closing)
                scripted::RequestClose(); // WM_CLOSE, then WM_DESTROY posts the quit message
            else
                scripted::SetKey(VK_ESCAPE, true);
        });
        EXPECT_EQ(RunGame(), 0) << "closing " << closing;
        EXPECT_EQ(ReadFile("Log.txt"), ExitLine) << "closing " << closing;
        EXPECT_TRUE(scripted::CursorVisible()) << "closing " << closing;
        EXPECT_FALSE(scripted::DisplayModeSet()) << "closing " << closing;
        EXPECT_EQ(PortLiveObjects(), 0) << "closing " << closing;
        EXPECT_EQ(scripted::CallCount("DestroyWindow"), closing) << "closing " << closing;
        EXPECT_EQ(scripted::WindowOpen(), !closing) << "closing " << closing;
        EXPECT_TRUE(scripted::MessageBoxes().empty()) << "closing " << closing;
    }
}

TEST_F(EntryTest, FailedStartUpReportsOnceAndExitsWithOne) {
    struct Case {
        const char* failingCall;
        const char* boxText;
        const char* caption;
        bool boxOwnedByWindow;
        bool cursorWasHidden;
    };
    const Case cases[] = {
        {"RegisterClassExA", "Window Registration Failed!", "Error!", false, false},
        {"CreateWindowExA", "Window Creation Failed!", "Error!", false, false},
        {"SetDisplayMode", "SetDisplayMode Failed", "ERROR", true, true},
        {"DirectDrawCreate", "DirectDrawCreate Failed", "ERROR", true, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        ResetEverything();
        scripted::FailCall(c.failingCall);
        EXPECT_EQ(RunGame(), 1) << "case " << i;

        ASSERT_EQ(scripted::MessageBoxes().size(), 1u) << "case " << i;
        const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
        EXPECT_EQ(box.text, c.boxText) << "case " << i;
        EXPECT_EQ(box.caption, c.caption) << "case " << i;
        EXPECT_EQ(box.style, MB_ICONERROR) << "case " << i;
        EXPECT_EQ(box.owner != nullptr, c.boxOwnedByWindow) << "case " << i;
        EXPECT_EQ(ReadFile("Log.txt"), std::string(c.boxText) + "\n") << "case " << i;
        EXPECT_EQ(scripted::CallCount("ShowCursor"), c.cursorWasHidden ? 2 : 0) << "case " << i;
        EXPECT_TRUE(scripted::CursorVisible()) << "case " << i;
        EXPECT_EQ(scripted::CallCount("PeekMessageA"), 0) << "case " << i;
        EXPECT_EQ(PortLiveObjects(), 0) << "case " << i;
    }
}

TEST_F(EntryTest, CommandLineAndShowCommandChangeNothing) {
    auto run = [](LPSTR commandLine, int showCommand) {
        ResetEverything();
        PressEscapeAt(3);
        int code = RunGame(commandLine, showCommand);
        return std::make_pair(code, std::vector<const char*>(scripted::Calls()));
    };
    const auto plain = run(nullptr, 1);
    char windowed[] = "-windowed /w 640 /h 480 FinalTitle.bmp";
    char empty[] = "";
    const std::pair<LPSTR, int> others[] = {{windowed, 0}, {empty, 3}, {nullptr, 7}};
    for (size_t i = 0; i < std::size(others); ++i) {
        const auto other = run(others[i].first, others[i].second);
        EXPECT_EQ(other.first, plain.first) << "case " << i;
        ASSERT_EQ(other.second.size(), plain.second.size()) << "case " << i;
        for (size_t k = 0; k < plain.second.size(); ++k)
            EXPECT_STREQ(other.second[k], plain.second[k]) << "case " << i << ", call " << k;
        EXPECT_TRUE(scripted::WindowOpen()) << "case " << i;
    }
}

} // namespace
