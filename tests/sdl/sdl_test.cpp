// The SDL2 host on SDL's dummy video driver: the window's focus, and gamepads on SDL's virtual
// joysticks. The page on the screen is the end-to-end tests'.
#include <windows.h>
#include <ddraw.h>
#include <xinput.h>

#include "sdl_host.h"
#include "shell/keys.h"
#include "shell/main_window.h"
#include "shell/pads.h"
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

// What XInputGetState answers for pad `user` once the host has taken its events: -1 for no pad,
// else its buttons.
long Buttons(DWORD user, SHORT* stickX = nullptr) {
    SdlHost()->pumpEvents();
    XINPUT_STATE state = {};
    if (XInputGetState(user, &state) != ERROR_SUCCESS)
        return -1;
    if (stickX)
        *stickX = state.Gamepad.sThumbLX;
    return state.Gamepad.wButtons;
}

// Through the game's own reading of the pads, which asks every pad afresh at OpenPads.
struct SdlPadTest : SdlHostTest {
    bool Held(int vk) {
        SdlHost()->pumpEvents();
        mainWindow = window;
        OpenPads();
        return KeyHeld(vk);
    }
};

// Each button the game reads is XInput's own bit, the stick XInput's travel, and both pass
// through the game's own mapping.
TEST_F(SdlPadTest, ButtonsAndStickAreXInputsUntilReleased) {
    Pad pad;
    const struct {
        SDL_GameControllerButton button;
        WORD bit;
    } buttons[] = {{SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
                   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
                   {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
                   {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
                   {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
                   {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
                   {SDL_CONTROLLER_BUTTON_B, 0}};
    for (const auto& b : buttons) {
        SDL_JoystickSetVirtualButton(pad.stick, b.button, 1);
        EXPECT_EQ(Buttons(0), b.bit) << "button " << b.button;
        SDL_JoystickSetVirtualButton(pad.stick, b.button, 0);
    }
    for (Sint16 x : {-32768, 16384, 16385}) {
        SDL_JoystickSetVirtualAxis(pad.stick, SDL_CONTROLLER_AXIS_LEFTX, x);
        SHORT got = 0;
        EXPECT_EQ(Buttons(0, &got), 0);
        EXPECT_EQ(got, x);
    }
    SDL_JoystickSetVirtualButton(pad.stick, SDL_CONTROLLER_BUTTON_BACK, 1);
    EXPECT_TRUE(Held(VK_ESCAPE));
    EXPECT_TRUE(Held(VK_RIGHT));
    EXPECT_FALSE(Held(VK_RETURN));
}

// Each pad keeps its place while it stays; a place left free is the next pad's, and a fifth
// pad is not read. One pulled out mid-press lets go of its key.
TEST_F(SdlPadTest, PadsComeAndGoDuringPlayEachInItsPlace) {
    Pad first;
    SDL_JoystickSetVirtualButton(first.stick, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    ASSERT_TRUE(Held(VK_RIGHT));
    Pad second;
    SDL_JoystickSetVirtualButton(second.stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    EXPECT_EQ(Buttons(1), XINPUT_GAMEPAD_DPAD_LEFT);
    first.Unplug();
    EXPECT_FALSE(KeyHeld(VK_RIGHT)) << "pulled out mid-press";
    EXPECT_EQ(Buttons(0), -1);
    EXPECT_EQ(Buttons(1), XINPUT_GAMEPAD_DPAD_LEFT);
    Pad third, fourth, fifth, sixth;
    SDL_JoystickSetVirtualButton(third.stick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(sixth.stick, SDL_CONTROLLER_BUTTON_Y, 1);
    EXPECT_EQ(Buttons(0), XINPUT_GAMEPAD_A);
    EXPECT_EQ(Buttons(3), 0);
    EXPECT_FALSE(Held(VK_F5)) << "a fifth pad";
}

} // namespace
