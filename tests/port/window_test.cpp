// The port's window classes, windows and message queue, checked the way the real platform
// behaves, where the conformance comparison (tests/conformance/) cannot: records the game never
// passes, the scripted host's close request, and the order the queue gives messages in.
#include <windows.h>

#include "scripted_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LRESULT CALLBACK QuittingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        PostQuitMessage(7);
    return DefWindowProcA(window, message, wParam, lParam);
}

// What `count` looks at the queue take, in order: each message's wParam, "Q" and the exit code
// for the quit message, "none" for an empty queue. The last message taken stays in `msg`.
std::vector<std::string> Peeks(MSG& msg, int count) {
    std::vector<std::string> taken;
    for (int i = 0; i < count; ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            taken.push_back("none");
        else if (msg.message == WM_QUIT)
            taken.push_back("Q" + std::to_string(msg.wParam));
        else
            taken.push_back(std::to_string(msg.wParam));
    }
    return taken;
}

// Every test starts with a fresh port and one class, "Game", whose windows ask to quit with
// code 7 when they are destroyed.
class WindowTest : public FreshProgram {
  protected:
    void SetUp() override {
        FreshProgram::SetUp();
        game_.cbSize = sizeof game_;
        game_.lpfnWndProc = QuittingProc;
        game_.lpszClassName = "Game";
        ASSERT_NE(RegisterClassExA(&game_), 0);
    }
    WNDCLASSEXA game_ = {};
};

TEST_F(WindowTest, ClassRegistrationRefusesWhatThePlatformRefuses) {
    WNDCLASSEXA noProcedure = game_;
    noProcedure.lpfnWndProc = nullptr;
    noProcedure.lpszClassName = "Other";
    WNDCLASSEXA noName = game_;
    noName.lpszClassName = nullptr;
    const struct {
        const char* rule;
        const WNDCLASSEXA* windowClass;
    } refused[] = {
        {"no record", nullptr},
        {"no procedure", &noProcedure},
        {"no name", &noName},
    };
    for (const auto& r : refused)
        EXPECT_EQ(RegisterClassExA(r.windowClass), 0) << r.rule;
}

TEST_F(WindowTest, QueueKeepsOrderAndACloseRequestTakesTheWindowAndItsMessages) {
    // Class names compare without regard to case.
    HWND window = CreateWindowExA(0, "GAME", "Caption", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(scripted::WindowOpen());
    MSG msg = {};
    PostMessageA(window, WM_NULL, 1, 0);
    PostMessageA(nullptr, WM_NULL, 2, 0);
    scripted::RequestClose(); // WM_CLOSE (wParam 0) joins the queue at the next look
    EXPECT_EQ(Peeks(msg, 3), (std::vector<std::string>{"1", "2", "0"}));
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));

    PostMessageA(window, WM_NULL, 3, 0); // goes with the window
    DispatchMessageA(&msg);
    EXPECT_FALSE(scripted::WindowOpen());
    PostMessageA(nullptr, WM_NULL, 4, 0); // posted after the quit, still taken before it
    EXPECT_EQ(Peeks(msg, 3), (std::vector<std::string>{"4", "Q7", "none"}));
}

} // namespace
