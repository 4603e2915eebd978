// The log file and the failure report, in a directory of their own.
#include "support/test_support.h"

#include "scripted_host.h"
#include "shell/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

// Every box shown so far, a line each: owner, text, caption and style.
static std::string Boxes() {
    std::string all;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes())
        all += std::to_string(uintptr_t(box.owner)) + ' ' + box.text + '|' + box.caption + '|' +
               std::to_string(box.style) + '\n';
    return all;
}

// Clearing empties an old log; a text is written as it stands, then a line feed or a space; a
// report shows its box, then logs its own text. A log that can't be opened (a directory; a
// read-only file) gives a box at every call, the program goes on, and the file is left alone.
TEST(Log, WritesExactlyAndReportsBoxFirst) {
    TempDir dir;
    ResetEverything();
    std::ofstream("Log.txt") << "from an earlier run\n";
    ClearLog();
    for (auto [text, endLine] : {std::pair<const char*, int>{"Score:", 0},
                                 {"100", 1},
                                 {"", 1},
                                 {"first\nsecond", 1},
                                 {nullptr, 1}})
        WriteLog(text, endLine);
    const std::string written = "Score: 100\n\nfirst\nsecond\n\n";
    std::string logAtBox;
    scripted::OnMessageBox([&](const auto&) { return logAtBox = ReadFile("Log.txt"), IDOK; });
    ReportFailure(HWND(0x40), "SideTop blt Failed", "Error", MB_OK, "SideTop Blt Failed");
    EXPECT_EQ(Boxes(), "64 SideTop blt Failed|Error|0\n");
    EXPECT_EQ(logAtBox + ReadFile("Log.txt"), written + written + "SideTop Blt Failed\n");

    for (const bool directory : {true, false}) {
        ResetEverything();
        std::filesystem::remove_all("Log.txt");
        directory ? void(std::filesystem::create_directory("Log.txt"))
                  : void(std::ofstream("Log.txt") << "earlier\n");
        std::filesystem::permissions("Log.txt", std::filesystem::perms(0500));
        if (!directory && std::ofstream("Log.txt", std::ios::app))
            continue; // root writes to read-only files
        ClearLog();
        ReportFailure(nullptr, "SetDisplayMode Failed", "ERROR", MB_ICONERROR, "same");
        const std::string unavailable = "0 Could not open Log File.|Error|16\n";
        EXPECT_EQ(Boxes(), unavailable + "0 SetDisplayMode Failed|ERROR|16\n" + unavailable);
        EXPECT_EQ(ReadFile("Log.txt"), directory ? "" : "earlier\n");
    }
}
