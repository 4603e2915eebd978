// The port's window classes, windows, cursor counter and message queue, checked the way the
// real platform behaves.
#include <windows.h>

#include "host.h"
#include "scripted_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const HINSTANCE Instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));

std::vector<UINT> heard;  // messages the procedure received, in order
LRESULT createResult = 0; // what the procedure answers to WM_CREATE

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    heard.push_back(message);
    if (message == WM_CREATE)
        return createResult;
    if (message == WM_DESTROY)
        PostQuitMessage(7);
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSEXA Class(const char* name) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = Instance;
    wc.lpszClassName = name;
    return wc;
}

HWND Create(const char* className) {
    return CreateWindowExA(0, className, "Caption", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200, nullptr,
                           nullptr, Instance, nullptr);
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        heard.clear();
        createResult = 0;
        WNDCLASSEXA wc = Class("Game");
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
};

TEST_F(WindowTest, ClassRegistrationRefusesWhatThePlatformRefuses) {
    WNDCLASSEXA good = Class("Other");
    WNDCLASSEXA shortRecord = good, noProc = good, noName = good, taken = good;
    shortRecord.cbSize = sizeof good - 4;
    noProc.lpfnWndProc = nullptr;
    noName.lpszClassName = nullptr;
    taken.lpszClassName = "gAME"; // names compare without case
    const WNDCLASSEXA* refused[] = {nullptr, &shortRecord, &noProc, &noName, &taken};
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_EQ(RegisterClassExA(refused[i]), 0) << "case " << i;

    ATOM atom = RegisterClassExA(&good);
    ASSERT_NE(atom, 0);
    EXPECT_NE(Create(MAKEINTRESOURCEA(atom)), nullptr) << "a class is also named by its atom";
    EXPECT_EQ(Create("Missing"), nullptr);
}

TEST_F(WindowTest, CreationAndDestructionReachTheProcedureAndTheHost) {
    HWND window = Create("GAME");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(heard, (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
    EXPECT_TRUE(scripted::WindowOpen());
    EXPECT_EQ(scripted::WindowCaption(), "Caption");

    PostMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    heard.clear();
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(heard, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(scripted::WindowOpen());
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_NULL, 0, 0));

    // The window's own messages went with it; only the quit message is left.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // A procedure that refuses WM_CREATE gets no window, and hears its destruction.
    heard.clear();
    createResult = -1;
    EXPECT_EQ(Create("Game"), nullptr);
    EXPECT_EQ(heard, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(scripted::WindowOpen());
}

TEST_F(WindowTest, QueueKeepsOrderFiltersAndPutsQuitLast) {
    HWND window = Create("Game");
    PostMessageA(window, WM_KEYDOWN, 1, 0);
    PostQuitMessage(3);
    PostMessageA(nullptr, WM_KEYUP, 2, 0); // posted after the quit, still taken before it
    PostMessageA(window, WM_NULL, 3, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYUP, WM_KEYUP, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u) << "the range picks the one message in it";
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u) << "-1 picks messages posted to no window";

    std::vector<WPARAM> taken;
    for (int i = 0; i < 3 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        taken.push_back(msg.wParam);
    EXPECT_EQ(taken, (std::vector<WPARAM>{1, 2, 3}));
    // Peeking leaves the quit message pending; taking it clears it.
    for (UINT flags : {PM_NOREMOVE, PM_NOREMOVE, PM_REMOVE}) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, flags)) << "flags " << flags;
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "flags " << flags;
        EXPECT_EQ(msg.wParam, 3u) << "flags " << flags;
    }
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "quit is taken once";
}

TEST_F(WindowTest, CloseRequestDestroysTheWindowThroughTheDefaultHandling) {
    HWND window = Create("Game");
    heard.clear();
    scripted::RequestClose();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    DispatchMessageA(&msg);
    EXPECT_EQ(heard, (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));

    PortCloseRequest(); // no window left to ask
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, CursorShowsWhileTheDisplayCounterIsNotNegative) {
    const struct {
        BOOL show;
        int count;
        bool visible;
    } steps[] = {{FALSE, -1, false}, {FALSE, -2, false}, {TRUE, -1, false},
                 {TRUE, 0, true},    {TRUE, 1, true},    {FALSE, 0, true}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(ShowCursor(steps[i].show), steps[i].count) << "step " << i;
        EXPECT_EQ(scripted::CursorVisible(), steps[i].visible) << "step " << i;
    }
}

} // namespace
