// Gamepads as the game reads them, through XInput: each of the four pads adds its controls to
// the keys KeyHeld reports.
#ifndef VANTOREL_SHELL_PADS_H
#define VANTOREL_SHELL_PADS_H

#include <windows.h>
#include <xinput.h>

typedef DWORD(WINAPI* XInputGetStateCall)(DWORD user, XINPUT_STATE* state);

// The loaded XInputGetState (null: no XInput, the keys alone), which pads answered when last
// asked, and the round of asking the absent ones again. Process-wide, set up by OpenPads.
struct PadReader {
    XInputGetStateCall getState = nullptr;
    bool connected[XUSER_MAX_COUNT] = {};
    DWORD lastRetry = 0; // when an absent pad was last asked
    DWORD nextRetry = 0; // the pad asked next time
};
extern PadReader pads;

// Called by WinMain before the first frame: loads XInput, if there is one, and asks every pad.
void OpenPads();

// Called by KeyHeld while the game's window is in front: whether any pad holds this key.
bool PadHeld(int key);

// Called by PadHeld for each pad that answers: whether this state holds the key.
bool PadHolds(const XINPUT_GAMEPAD& pad, int key);

#endif
