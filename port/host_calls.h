// What a host tells the port about the world outside the program. Called by hosts only.
#ifndef VANTOREL_PORT_HOST_CALLS_H
#define VANTOREL_PORT_HOST_CALLS_H

// The user asked to close the window: posts WM_CLOSE to it.
void PortCloseRequest();

// The user pressed Alt+Enter: posts WM_SYSKEYDOWN for Return, with Alt held, to the window.
void PortAltEnter();

// Another program took the screen: the desktop's mode is back, every surface is lost, and the
// exclusive level is out of reach until PortGiveDisplay.
void PortTakeDisplay();

// The other program let go and the game's window is in front again. The screen keeps the
// desktop's mode until the program sets its own again.
void PortGiveDisplay();

#endif
