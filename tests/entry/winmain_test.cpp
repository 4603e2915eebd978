// The entry and main loop, run whole through the scripted host: WinMain returns once a pump
// handler presses Escape or asks the window to close.
#include <windows.h>

#include "test_hooks.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The loop's calls in order: P for PeekMessageA, which starts a pass, D for a dispatched
// message, F for a presented frame.
std::string Passes() {
    std::string passes;
    for (const std::string& call : scripted::CallNames())
        if (call == "PeekMessageA" || call == "DispatchMessageA" || call == "Flip")
            passes += call[0];
    return passes;
}

int RunGame(LPSTR commandLine = nullptr, int showCommand = 1) {
    return WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine,
                   showCommand);
}

class EntryTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::copy_file(TITLE_FILE, "FinalTitle.bmp"); }
    TempDir dir_;
};

TEST_F(EntryTest, OneMessageThenOneFramePerPassUntilAnOrderlyEnd) {
    // Messages posted in the first pump; the pump where Escape goes down or, with `close`, the
    // window is asked to close; the passes seen.
    const struct {
        int messages, pump;
        bool close;
        const char* passes;
    } cases[] = {
        {0, 4, false, "PFPFPFPP"},      // Escape's frame draws nothing and posts the quit message
        {3, 5, false, "PDFPDFPDFPFPP"}, // a backlog drains one message a pass, each with a frame
        // WM_CLOSE destroys the window, WM_DESTROY posts the quit; the window takes the screen
        // with it, so the last frame finds the display gone and shows nothing
        {0, 3, true, "PFPFPDP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.passes);
        ResetEverything();
        scripted::OnPump([&](int pump) {
            for (int m = 0; pump == 1 && m < c.messages; ++m)
                PostMessageA(mainWindow, WM_NULL, 0, 0); // the default handling takes it
            if (pump == c.pump)
                c.close ? scripted::RequestClose() : scripted::SetKey(VK_ESCAPE, true);
        });
        EXPECT_EQ(RunGame(), 0);
        EXPECT_EQ(Passes(), c.passes);
        EXPECT_EQ(ReadFile("Log.txt"), "Game successfully returning...\n");
        EXPECT_TRUE(scripted::CursorVisible());
        EXPECT_FALSE(scripted::DisplayModeSet());
        EXPECT_EQ(PortLiveObjects(), 0);
        EXPECT_EQ(scripted::WindowOpen(), !c.close);
        EXPECT_TRUE(scripted::MessageBoxes().empty());
    }
}

TEST_F(EntryTest, FailedStartUpReportsOnceAndExitsWithOne) {
    // The display's steps run with the window up and the cursor hidden; the window's do not.
    const struct {
        const char* failingCall;
        const char* text;
        bool display;
    } cases[] = {
        {"RegisterClassExA", "Window Registration Failed!", false},
        {"CreateWindowExA", "Window Creation Failed!", false},
        {"DirectDrawCreate", "DirectDrawCreate Failed", true},
        {"SetDisplayMode", "SetDisplayMode Failed", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingCall);
        ResetEverything();
        scripted::FailCall(c.failingCall);
        EXPECT_EQ(RunGame(), 1);
        ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
        const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
        EXPECT_EQ(std::tie(box.owner, box.text, box.caption, box.style),
                  std::make_tuple(c.display ? mainWindow : nullptr, c.text,
                                  c.display ? "ERROR" : "Error!", UINT{MB_ICONERROR}));
        EXPECT_EQ(ReadFile("Log.txt"), std::string(c.text) + "\n");
        EXPECT_EQ(scripted::CallCount("ShowCursor"), c.display ? 2 : 0);
        EXPECT_TRUE(scripted::CursorVisible());
        EXPECT_EQ(PortLiveObjects(), 0);
    }
}

TEST_F(EntryTest, CommandLineAndShowCommandChangeNothing) {
    char windowed[] = "-windowed /w 640 /h 480 FinalTitle.bmp", empty[] = "";
    std::vector<std::vector<std::string>> calls;
    for (auto [commandLine, showCommand] :
         {std::pair<LPSTR, int>{nullptr, 1}, {windowed, 0}, {empty, 3}, {nullptr, 7}}) {
        ResetEverything();
        scripted::OnPump([](int pump) { scripted::SetKey(VK_ESCAPE, pump == 3); });
        EXPECT_EQ(RunGame(commandLine, showCommand), 0);
        calls.push_back(scripted::CallNames());
        EXPECT_EQ(calls.back(), calls.front()) << "show command " << showCommand;
    }
}

} // namespace
