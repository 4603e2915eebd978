// The keyboard and the pads as the game reads them: polled, once per look, with no edge detection; and
// Alt+Enter, which comes as a message.
#ifndef VANTOREL_SHELL_KEYS_H
#define VANTOREL_SHELL_KEYS_H

// Called for every key the game looks at: whether it is held right now for the game, on the
// keyboard or on a pad (pads.h). The key state is the whole keyboard's, and the pads are
// everyone's, so both count only while the game's window is in front.
// Enter never counts with Alt, nor while it is still held from an Alt+Enter.
bool KeyHeld(int key);

// An Alt+Enter not yet acted on; and an Enter that counts only once let go (the switch's).
extern bool displaySwitchAsked;
extern bool enterHeldBack;

// Called by WndProc on Alt+Enter: asks for the switch between the full screen and a window.
void AskDisplaySwitch();

// Called by the main loop between frames: whether a switch was asked for since the last call.
bool TakeDisplaySwitch();

#endif
