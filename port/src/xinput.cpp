// XInput, loaded as the game loads it: each of its DLL names gives the port itself, whose
// XInputGetState reads the host's pads.
#include <xinput.h>

#include "internal.h"

#include <strings.h>

namespace {

// Any non-null handle: the port is its one library.
HMODULE const XInputModule = reinterpret_cast<HMODULE>(uintptr_t{0x10000});

bool IsXInput(LPCSTR name) {
    for (const char* dll : {"xinput1_4.dll", "xinput9_1_0.dll", "xinput1_3.dll"})
        if (strcasecmp(name, dll) == 0)
            return true;
    return false;
}

} // namespace

HMODULE LoadLibraryA(LPCSTR name) {
    if (port::Enter(__func__, nullptr, {}, {name}) || !IsXInput(name))
        return nullptr;
    return XInputModule;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (port::Enter(__func__, module, {}, {name}) || module != XInputModule ||
        std::string_view(name) != "XInputGetState")
        return nullptr;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&XInputGetState));
}

// The packet number stays 0: the game reads the whole state at every look.
DWORD WINAPI XInputGetState(DWORD user, XINPUT_STATE* state) {
    if (const long refused = port::Enter(__func__, nullptr, {user}))
        return static_cast<DWORD>(refused);
    if (user >= XUSER_MAX_COUNT)
        return ERROR_BAD_ARGUMENTS;
    XINPUT_GAMEPAD pad = {};
    if (!port::Host().padState(user, pad))
        return ERROR_DEVICE_NOT_CONNECTED;
    state->dwPacketNumber = 0;
    state->Gamepad = pad;
    return ERROR_SUCCESS;
}
