#include <windows.h>
#include <mmsystem.h>
#include <xinput.h>

#include "shell/pads.h"

PadReader pads;

namespace {

// Windows 8 and later, then the DirectX run-time's, then Windows 7's own.
constexpr const char* XInputNames[] = {"xinput1_4.dll", "xinput9_1_0.dll", "xinput1_3.dll"};

// The stick must go past half its travel; exactly half does nothing.
constexpr SHORT StickHalfTravel = 16384;

// Asking a pad that is not there is slow, so the absent ones are asked one at a time, one
// every 200 ms: a pad plugged in anywhere is seen within 800 ms.
constexpr DWORD RetryInterval = 200;

struct PadKey {
    int key;
    WORD buttons; // any of them holds the key
};
constexpr PadKey PadKeys[] = {
    {VK_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
    {VK_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
    {VK_RETURN, XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START},
    {VK_F5, XINPUT_GAMEPAD_Y},
    {VK_ESCAPE, XINPUT_GAMEPAD_BACK},
};

bool Ask(DWORD user, XINPUT_STATE& state) {
    pads.connected[user] = pads.getState(user, &state) == ERROR_SUCCESS;
    return pads.connected[user];
}

// The absent pad whose turn it is when the round is due, else XUSER_MAX_COUNT.
DWORD AbsentPadDue() {
    const DWORD now = timeGetTime();
    if (now - pads.lastRetry < RetryInterval)
        return XUSER_MAX_COUNT;
    for (DWORD tried = 0; tried < XUSER_MAX_COUNT; ++tried) {
        const DWORD user = pads.nextRetry;
        pads.nextRetry = (user + 1) % XUSER_MAX_COUNT;
        if (!pads.connected[user]) {
            pads.lastRetry = now;
            return user;
        }
    }
    return XUSER_MAX_COUNT;
}

} // namespace

void OpenPads() {
    pads = PadReader{};
    for (const char* name : XInputNames) {
        if (HMODULE xinput = LoadLibraryA(name)) {
            pads.getState = reinterpret_cast<XInputGetStateCall>(
                reinterpret_cast<void (*)()>(GetProcAddress(xinput, "XInputGetState")));
            break;
        }
    }
    if (!pads.getState)
        return;
    XINPUT_STATE state;
    for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user)
        Ask(user, state);
    pads.lastRetry = timeGetTime();
}

bool PadHeld(int key) {
    if (!pads.getState)
        return false;
    const DWORD retry = AbsentPadDue();
    // Every pad is asked, even once one holds the key, so that none misses its turn.
    bool held = false;
    for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
        XINPUT_STATE state;
        if ((pads.connected[user] || user == retry) && Ask(user, state) &&
            PadHolds(state.Gamepad, key))
            held = true;
    }
    return held;
}

bool PadHolds(const XINPUT_GAMEPAD& pad, int key) {
    if ((key == VK_LEFT && pad.sThumbLX < -StickHalfTravel) ||
        (key == VK_RIGHT && pad.sThumbLX > StickHalfTravel))
        return true;
    for (const PadKey& padKey : PadKeys)
        if (padKey.key == key)
            return (pad.wButtons & padKey.buttons) != 0;
    return false;
}
