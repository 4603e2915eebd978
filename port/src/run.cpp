// Apart from host.cpp, so that only programs with a WinMain link it.
#include "host.h"

#include <cstdint>

int PortRunProgram(const PortHost& host, char* commandLine) {
    PortSetHost(&host);
    // The instance handle is only ever passed back to the port, as on Windows.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    const int code = WinMain(instance, nullptr, commandLine, 1);
    PortSetHost(nullptr);
    return code;
}
