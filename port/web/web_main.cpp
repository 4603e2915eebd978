// The browser program's entry: installs the web host, runs the game's own WinMain, and tells
// the page how it ended.
#include "page.h"
#include "web_host.h"

#include <cstdint>

int main() {
    PortSetHost(WebHost());
    // The instance handle is only ever passed back to the port, as on Windows.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    char commandLine[] = "";
    const int code = WinMain(instance, nullptr, commandLine, 1);
    PortSetHost(nullptr);
    vantorel_page_ended(code);
    return code;
}
