// What the player may say when starting the game.
#ifndef VANTOREL_SHELL_COMMAND_LINE_H
#define VANTOREL_SHELL_COMMAND_LINE_H

// Called by WinMain: whether the command line holds the word --window.
bool AskedForWindow(const char* commandLine);

#endif
