// On port/: the scripted host answers every box at once and records it, and does what the
// program asks of the world outside.
#include "side.h"

#include "scripted_host.h"
#include "shell/main_window.h"

void StartSide() {
    scripted::Install();
    scripted::OnMessageBox([](const scripted::MessageBoxRecord& box) {
        boxesShown.push_back({box.caption, box.text, box.owner == mainWindow});
        return IDOK;
    });
}

void Act(const std::string& request) {
    if (request == "take the display")
        scripted::TakeDisplay();
    if (request == "give the display back")
        scripted::GiveDisplay();
    if (request == "close the window")
        scripted::RequestClose();
}
