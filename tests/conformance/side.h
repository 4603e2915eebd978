// What each build does its own way: on port/ the scripted host plays the world outside the
// program (native_side.cpp); under Wine the run script does (windows_side.cpp).
#ifndef VANTOREL_CONFORMANCE_SIDE_H
#define VANTOREL_CONFORMANCE_SIDE_H

#include <string>
#include <vector>

struct Box {
    std::string caption;
    std::string text;
    bool ownedByGame; // by mainWindow
};

// Each side adds the boxes shown, in order; the program takes them out.
extern std::vector<Box> boxesShown;

void StartSide();
// What the world outside does on the program's request: "take the display" (another program
// takes it), "give the display back", "close the window" (the user asks the game to close).
// Under Wine the run script does it on reading the request.
void Act(const std::string& request);

#endif
