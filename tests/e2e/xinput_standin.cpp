// A stand-in XInput for the Wine end-to-end tests: its pads are what the test writes to
// pads.txt in the game's working folder, re-read at most every 5 ms. The first line is the
// script's version; each further line "user buttons stickX" plugs in one pad. After each read
// it writes xinput.txt: the path it was loaded from, the version, how many times the game has
// asked since that version came, how many of those asked a pad that is not there, and the ms
// since that version came.
#include <windows.h>

#include <cstdio>

// XInput's own layout, as xinput.h gives it; the stand-in needs nothing else from it.
struct Gamepad {
    WORD buttons;
    BYTE leftTrigger, rightTrigger;
    SHORT thumbLX, thumbLY, thumbRX, thumbRY;
};
struct State {
    DWORD packet;
    Gamepad pad;
};

namespace {

constexpr DWORD MaxPads = 4;
constexpr DWORD ReadEvery = 5;

HMODULE self = nullptr;
bool plugged[MaxPads] = {};
Gamepad pads[MaxPads] = {};
long version = -1;
long asks = 0;
long absent = 0;
DWORD versionSince = 0;
DWORD lastRead = 0;
bool everRead = false;

void Report() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    FILE* out = std::fopen("xinput.tmp", "w");
    if (!out)
        return;
    std::fprintf(out, "%s\n%ld %ld %ld %lu\n", path, version, asks, absent,
                 GetTickCount() - versionSince);
    std::fclose(out);
    MoveFileExA("xinput.tmp", "xinput.txt", MOVEFILE_REPLACE_EXISTING);
}

void ReadScript() {
    FILE* in = std::fopen("pads.txt", "r");
    if (!in)
        return;
    long read = -1;
    if (std::fscanf(in, "%ld", &read) == 1 && read != version) {
        version = read;
        asks = absent = 0;
        versionSince = GetTickCount();
        for (bool& p : plugged)
            p = false;
        unsigned long user = 0, buttons = 0;
        long stickX = 0;
        while (std::fscanf(in, "%lu %lu %ld", &user, &buttons, &stickX) == 3 && user < MaxPads) {
            plugged[user] = true;
            pads[user] =
                Gamepad{static_cast<WORD>(buttons), 0, 0, static_cast<SHORT>(stickX), 0, 0, 0};
        }
    }
    std::fclose(in);
}

} // namespace

extern "C" DWORD WINAPI XInputGetState(DWORD user, State* state) {
    const DWORD now = GetTickCount();
    if (!everRead || now - lastRead >= ReadEvery) {
        everRead = true;
        lastRead = now;
        ReadScript();
        Report();
    }
    ++asks;
    if (user >= MaxPads || !plugged[user]) {
        ++absent;
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    state->packet = static_cast<DWORD>(version);
    state->pad = pads[user];
    return ERROR_SUCCESS;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}
