#include "sdl_pad.h"

namespace sdlpad {
namespace {

// XInput's four places; a fifth pad is not read, as on Windows.
SDL_GameController* places[XUSER_MAX_COUNT] = {};

// The buttons the game reads, as XInput's bits.
struct Button {
    SDL_GameControllerButton button;
    WORD bit;
};
constexpr Button Buttons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
    {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
    {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
    {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
    {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
};

SDL_GameController** PlaceOf(SDL_GameController* pad) {
    for (SDL_GameController*& place : places)
        if (place == pad)
            return &place;
    return nullptr;
}

void Plug(int device) {
    SDL_GameController* pad = SDL_GameControllerOpen(device);
    if (!pad)
        return;
    // A pad already in place (SDL repeats the news) keeps it; without a free place it is not read.
    SDL_GameController** place = PlaceOf(pad) ? nullptr : PlaceOf(nullptr);
    if (place)
        *place = pad;
    else
        SDL_GameControllerClose(pad);
}

} // namespace

void Open() {
    // SDL would drop pad input while no window of its own has the keyboard focus, which is
    // always where no window manager runs. The game itself reads pads only while in front.
    SDL_SetHintWithPriority(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1", SDL_HINT_DEFAULT);
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Close() {
    for (SDL_GameController*& place : places) {
        if (place)
            SDL_GameControllerClose(place);
        place = nullptr;
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Event(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        Plug(event.cdevice.which);
    } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        SDL_GameController** place = PlaceOf(SDL_GameControllerFromInstanceID(event.cdevice.which));
        if (place && *place) {
            SDL_GameControllerClose(*place);
            *place = nullptr;
        }
    }
}

bool State(DWORD user, XINPUT_GAMEPAD& pad) {
    SDL_GameController* controller = places[user];
    if (!controller)
        return false;
    for (const Button& b : Buttons)
        if (SDL_GameControllerGetButton(controller, b.button))
            pad.wButtons |= b.bit;
    pad.sThumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    return true;
}

} // namespace sdlpad
