// The browser host: the game's window, display, keyboard, clock and message boxes in a page.
#ifndef VANTOREL_PORT_WEB_HOST_H
#define VANTOREL_PORT_WEB_HOST_H

#include "host.h"

// The host main() installs before WinMain.
const PortHost* WebHost();

#endif
