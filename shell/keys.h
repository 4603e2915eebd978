// The keyboard as the game reads it: polled, once per look, with no edge detection.
#ifndef VANTOREL_SHELL_KEYS_H
#define VANTOREL_SHELL_KEYS_H

// Called for every key the game looks at: whether it is held right now for the game. The key
// state is the whole keyboard's, so a key counts only while the game's window is in front.
bool KeyHeld(int key);

#endif
