// The native program's entry: installs the SDL2 host and runs the game's own WinMain.
#include "sdl_host.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    // The event subsystem needs no display; it also turns Ctrl-C into a close request.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0)
        std::fprintf(stderr, "vantorel: %s\n", SDL_GetError());
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    PortSetHost(SdlHost());
    // The instance handle is only ever passed back to the port, as on Windows.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    int code = WinMain(instance, nullptr, commandLine.data(), 1);
    PortSetHost(nullptr);
    SDL_Quit();
    return code;
}
