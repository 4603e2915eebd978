// A stand-in XInput for the Wine tests. Its pads are what the test writes to pads.txt in the
// game's folder: a version, then "user buttons stickX" for each pad plugged in, read at most
// every 5 ms. Each read writes xinput.txt: the version, how often the game asked since it
// came, how many of those asked an absent pad, and the ms since it came.
#include <windows.h>

#include <cstdio>

struct Gamepad {
    WORD buttons;
    BYTE triggers[2];
    SHORT thumbs[4];
};
struct State {
    DWORD packet;
    Gamepad pad;
};

namespace {

bool plugged[4] = {};
Gamepad pads[4] = {};
long version = -1, asks = 0, absent = 0;
DWORD since = 0, lastRead = 0;

void ReadAndReport() {
    if (FILE* in = std::fopen("pads.txt", "r")) {
        long read = -1;
        unsigned long user = 0, buttons = 0;
        long stickX = 0;
        if (std::fscanf(in, "%ld", &read) == 1 && read != version) {
            version = read;
            asks = absent = 0;
            since = GetTickCount();
            plugged[0] = plugged[1] = plugged[2] = plugged[3] = false;
            while (std::fscanf(in, "%lu %lu %ld", &user, &buttons, &stickX) == 3 && user < 4) {
                plugged[user] = true;
                pads[user] = Gamepad{static_cast<WORD>(buttons), {}, {static_cast<SHORT>(stickX)}};
            }
        }
        std::fclose(in);
    }
    if (FILE* out = std::fopen("xinput.tmp", "w")) {
        std::fprintf(out, "%ld %ld %ld %lu\n", version, asks, absent, GetTickCount() - since);
        std::fclose(out);
        MoveFileExA("xinput.tmp", "xinput.txt", MOVEFILE_REPLACE_EXISTING);
    }
}

} // namespace

extern "C" DWORD WINAPI XInputGetState(DWORD user, State* state) {
    if (version < 0 || GetTickCount() - lastRead >= 5) {
        lastRead = GetTickCount();
        ReadAndReport();
    }
    ++asks;
    if (user < 4 && plugged[user]) {
        *state = State{static_cast<DWORD>(version), pads[user]};
        return ERROR_SUCCESS;
    }
    ++absent;
    return ERROR_DEVICE_NOT_CONNECTED;
}
