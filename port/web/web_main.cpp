// The browser program's entry: runs the game on the web host and tells the page how it ended.
#include "page.h"
#include "web_host.h"

int main() {
    char commandLine[] = "";
    const int code = PortRunProgram(*WebHost(), commandLine);
    vantorel_page_ended(code);
    return code;
}
