// The keyboard and the pads as the game reads them: polled, once per look, with no edge detection.
#ifndef VANTOREL_SHELL_KEYS_H
#define VANTOREL_SHELL_KEYS_H

// Called for every key the game looks at: whether it is held right now for the game, on the
// keyboard or on a pad (pads.h). The key state is the whole keyboard's, and the pads are
// everyone's, so both count only while the game's window is in front.
bool KeyHeld(int key);

#endif
