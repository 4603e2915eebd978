// The port's window classes, windows, cursor counter and message queue, checked the way the
// real platform behaves.
#include <windows.h>

#include "scripted_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<UINT> heard; // messages the procedure received, in order

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    heard.push_back(message);
    if (message == WM_DESTROY)
        PostQuitMessage(7);
    return DefWindowProcA(window, message, wParam, lParam);
}

// What `count` looks at the queue take: each message's wParam, after a Q for the quit message.
// The last message taken stays in `msg`.
MSG msg;
std::string Peeks(int count) {
    std::string seen;
    for (int i = 0; i < count; ++i)
        seen += !PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)
                    ? " none"
                    : (msg.message == WM_QUIT ? " Q" : " ") + std::to_string(msg.wParam);
    return seen;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        heard.clear();
        game_.cbSize = sizeof game_;
        game_.lpfnWndProc = RecordingProc;
        game_.lpszClassName = "Game";
        ASSERT_NE(RegisterClassExA(&game_), 0);
    }
    WNDCLASSEXA game_ = {};
};

TEST_F(WindowTest, ClassRegistrationRefusesWhatThePlatformRefuses) {
    WNDCLASSEXA noProc = game_, noName = game_, taken = game_;
    noProc.lpfnWndProc = nullptr;
    noProc.lpszClassName = "Other";
    noName.lpszClassName = nullptr;
    taken.lpszClassName = "gAME"; // names compare without case
    const WNDCLASSEXA* refused[] = {nullptr, &noProc, &noName, &taken};
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_EQ(RegisterClassExA(refused[i]), 0) << "case " << i;
}

TEST_F(WindowTest, QueueKeepsOrderAndACloseRequestTakesTheWindowAndItsMessages) {
    HWND window = CreateWindowExA(0, "GAME", "Caption", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window && scripted::WindowOpen());
    PostMessageA(window, WM_NULL, 1, 0);
    PostMessageA(nullptr, WM_NULL, 2, 0);
    scripted::RequestClose(); // WM_CLOSE (wParam 0) joins the queue at the next look
    EXPECT_EQ(Peeks(3), " 1 2 0");
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));

    PostMessageA(window, WM_NULL, 3, 0); // goes with the window
    DispatchMessageA(&msg);
    EXPECT_EQ(heard,
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(scripted::WindowOpen());
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_NULL, 0, 0));
    PostMessageA(nullptr, WM_NULL, 4, 0); // posted after the quit, still taken before it
    EXPECT_EQ(Peeks(3), " 4 Q7 none");
}

TEST_F(WindowTest, CursorShowsWhileTheDisplayCounterIsNotNegative) {
    int previous = 0;
    for (int count : {-1, -2, -1, 0, 1, 0}) {
        EXPECT_EQ(ShowCursor(count > previous), count);
        EXPECT_EQ(scripted::CursorVisible(), count >= 0) << "count " << count;
        previous = count;
    }
}

} // namespace
