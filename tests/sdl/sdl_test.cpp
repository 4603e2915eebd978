// The SDL2 host on SDL's dummy video driver: the window's focus, and gamepads on SDL's virtual
// joysticks. The page on the screen is the end-to-end tests'.
#include <windows.h>
#include <ddraw.h>

#include "sdl_host.h"
#include "test_hooks.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

// The game's window on the dummy display, which never has the focus: the host hears pads all
// the same.
struct SdlHostTest : ::testing::Test {
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1); // asked for by name, it is taken as a display
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        PortReset();
        PortSetHost(SdlHost());
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "WindowClass";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "WindowClass", "Vantorel", WS_POPUP | WS_VISIBLE, 0, 0, 1024,
                                 768, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(SdlWindow(), nullptr);
    }
    void TearDown() override {
        SdlHost()->closeWindow();
        PortReset();
        PortSetHost(nullptr);
        SDL_Quit();
    }
    static bool Held(int vk) {
        SdlHost()->pumpEvents();
        return (GetAsyncKeyState(vk) & 0x8000) != 0;
    }
    HWND window = nullptr;
};

// Until the focus is reported the window is in front; then it is while it has the focus and
// is not minimised, and the display is another program's while it is not.
TEST_F(SdlHostTest, OutOfFocusOrMinimisedTheWindowGivesUpTheKeysAndTheDisplay) {
    LPDIRECTDRAW first = nullptr;
    LPDIRECTDRAW4 dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&dd)), DD_OK);
    first->Release();
    SdlHost()->pumpEvents();
    EXPECT_EQ(GetForegroundWindow(), window) << "no focus reported";
    const struct {
        SDL_WindowEventID event;
        bool inFront;
    } steps[] = {{SDL_WINDOWEVENT_FOCUS_LOST, false},
                 {SDL_WINDOWEVENT_FOCUS_GAINED, true},
                 {SDL_WINDOWEVENT_MINIMIZED, false},
                 {SDL_WINDOWEVENT_RESTORED, true}};
    for (const auto& step : steps) {
        SDL_Event event = {};
        event.type = SDL_WINDOWEVENT;
        event.window.event = step.event;
        event.window.windowID = SDL_GetWindowID(SdlWindow());
        SDL_PushEvent(&event);
        SdlHost()->pumpEvents();
        EXPECT_EQ(GetForegroundWindow() == window, step.inFront) << step.event;
        EXPECT_EQ(dd->TestCooperativeLevel() == DD_OK, step.inFront) << step.event;
    }
    dd->Release();
}

// A virtual pad with the standard controller's buttons and axes, plugged in at once; SDL_Quit
// unplugs what is left.
struct Pad {
    Pad() {
        SDL_VirtualJoystickDesc desc = {};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        device = SDL_JoystickAttachVirtualEx(&desc);
        stick = SDL_JoystickOpen(device);
    }
    // By the index it was plugged in at: the pads plugged in before it must still be there.
    void Unplug() {
        SDL_JoystickClose(stick);
        SDL_JoystickDetachVirtual(device);
    }
    int device = -1;
    SDL_Joystick* stick = nullptr;
};

TEST_F(SdlHostTest, EachPadButtonHoldsItsKeyUntilReleased) {
    Pad pad;
    const struct {
        SDL_GameControllerButton button;
        int vk;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
        {SDL_CONTROLLER_BUTTON_A, VK_RETURN},       {SDL_CONTROLLER_BUTTON_START, VK_RETURN},
        {SDL_CONTROLLER_BUTTON_Y, VK_F5},           {SDL_CONTROLLER_BUTTON_BACK, VK_ESCAPE}};
    for (const auto& b : buttons) {
        SDL_JoystickSetVirtualButton(pad.stick, b.button, 1);
        for (int vk : {VK_LEFT, VK_RIGHT, VK_RETURN, VK_F5, VK_ESCAPE})
            EXPECT_EQ(Held(vk), vk == b.vk) << "button " << b.button << ", key " << vk;
        EXPECT_TRUE(Held(b.vk)) << "still held a frame later";
        SDL_JoystickSetVirtualButton(pad.stick, b.button, 0);
        EXPECT_FALSE(Held(b.vk)) << "button " << b.button << " released";
    }
}

// Half the stick's travel is 16384 either way; only past it does the stick hold an arrow.
TEST_F(SdlHostTest, TheLeftStickHoldsAnArrowOnlyPastHalfItsTravel) {
    Pad pad;
    const struct {
        Sint16 x;
        int vk; // the arrow held, if any
    } positions[] = {{-16385, VK_LEFT}, {-16384, 0}, {-8000, 0}, {16384, 0}, {16385, VK_RIGHT}};
    for (const auto& p : positions) {
        SDL_JoystickSetVirtualAxis(pad.stick, SDL_CONTROLLER_AXIS_LEFTX, p.x);
        EXPECT_EQ(Held(VK_LEFT), p.vk == VK_LEFT) << p.x;
        EXPECT_EQ(Held(VK_RIGHT), p.vk == VK_RIGHT) << p.x;
    }
}

// A pad plugged in during play adds its controls; one pulled out mid-press lets go of its key.
TEST_F(SdlHostTest, PadsComeAndGoDuringPlay) {
    Pad first;
    SDL_JoystickSetVirtualButton(first.stick, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    ASSERT_TRUE(Held(VK_RIGHT));
    Pad second;
    SDL_JoystickSetVirtualButton(second.stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    EXPECT_TRUE(Held(VK_LEFT));
    first.Unplug();
    EXPECT_FALSE(Held(VK_RIGHT));
    EXPECT_TRUE(Held(VK_LEFT));
}

} // namespace
