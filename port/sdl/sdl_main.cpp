// The native program's entry: runs the game on the SDL2 host.
#include "sdl_host.h"

#include <SDL.h>

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
    const int code = PortRunProgram(*SdlHost(), commandLine.data());
    SDL_Quit();
    return code;
}
