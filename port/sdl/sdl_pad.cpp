#include "sdl_pad.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace sdlpad {
namespace {

std::vector<SDL_GameController*> pads;

// The stick must go past half its travel; exactly half does nothing.
constexpr Sint16 HalfTravel = 16384;

bool Button(SDL_GameController* pad, SDL_GameControllerButton button) {
    return SDL_GameControllerGetButton(pad, button) != 0;
}

bool Holds(SDL_GameController* pad, int vk) {
    const Sint16 stick = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    switch (vk) {
    case VK_LEFT:
        return Button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT) || stick < -HalfTravel;
    case VK_RIGHT:
        return Button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || stick > HalfTravel;
    case VK_RETURN:
        return Button(pad, SDL_CONTROLLER_BUTTON_A) || Button(pad, SDL_CONTROLLER_BUTTON_START);
    case VK_F5:
        return Button(pad, SDL_CONTROLLER_BUTTON_Y);
    case VK_ESCAPE:
        return Button(pad, SDL_CONTROLLER_BUTTON_BACK);
    default:
        return false;
    }
}

} // namespace

void Open() {
    // SDL would drop pad input while no window of its own has the keyboard focus, which is
    // always where no window manager runs. The game itself reads keys only while in front.
    SDL_SetHintWithPriority(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1", SDL_HINT_DEFAULT);
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Close() {
    for (SDL_GameController* pad : pads)
        SDL_GameControllerClose(pad);
    pads.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Event(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which);
        // A pad already open (SDL repeats the news) is counted once.
        if (pad && std::find(pads.begin(), pads.end(), pad) == pads.end())
            pads.push_back(pad);
        else if (pad)
            SDL_GameControllerClose(pad);
    } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        SDL_GameController* pad = SDL_GameControllerFromInstanceID(event.cdevice.which);
        const auto found = std::find(pads.begin(), pads.end(), pad);
        if (found != pads.end()) {
            SDL_GameControllerClose(pad);
            pads.erase(found);
        }
    }
}

bool Held(int vk) {
    return std::any_of(pads.begin(), pads.end(),
                       [vk](SDL_GameController* pad) { return Holds(pad, vk); });
}

} // namespace sdlpad
