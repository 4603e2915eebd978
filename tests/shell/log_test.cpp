// The log file and the failure report, in a directory of their own.
#include "support/test_support.h"

#include "scripted_host.h"
#include "shell/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class LogTest : public FreshProgram {
  protected:
    TempDir dir_;
};

// Each message goes to the end of the log as it stands, then a line feed; ClearLog empties it.
TEST_F(LogTest, MessagesAreAppendedExactlyAndClearingEmptiesTheLog) {
    WriteLog("first\nsecond", 1);
    WriteLog("", 1);
    EXPECT_EQ(ReadFile("Log.txt"), "first\nsecond\n\n");
    ClearLog();
    EXPECT_TRUE(std::filesystem::exists("Log.txt"));
    EXPECT_EQ(ReadFile("Log.txt"), "");
}

// The box comes first and the log line, in its own words, only once the box is closed.
TEST_F(LogTest, AReportShowsItsBoxThenLogsItsOwnText) {
    WriteLog("earlier", 1);
    std::string logWhileBoxOpen;
    scripted::OnMessageBox([&logWhileBoxOpen](const scripted::MessageBoxRecord&) {
        logWhileBoxOpen = ReadFile("Log.txt");
        return IDOK;
    });
    ReportFailure(HWND(0x40), "SideTop blt Failed", "Error", MB_OK, "SideTop Blt Failed");
    ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
    EXPECT_EQ(scripted::MessageBoxes()[0].text, "SideTop blt Failed");
    EXPECT_EQ(logWhileBoxOpen, "earlier\n");
    EXPECT_EQ(ReadFile("Log.txt"), "earlier\nSideTop Blt Failed\n");
}

// A log that cannot be opened (here a directory stands in its place) gives a box of its own at
// every call, owned by no window, and the game goes on.
TEST_F(LogTest, ALogThatCannotBeOpenedGivesABoxAtEveryCall) {
    std::filesystem::create_directory("Log.txt");
    ClearLog();
    ReportFailure(nullptr, "SetDisplayMode Failed", "ERROR", MB_ICONERROR, "SetDisplayMode Failed");
    std::vector<std::string> boxes;
    for (const scripted::MessageBoxRecord& box : scripted::MessageBoxes())
        boxes.push_back(box.text + " | " + box.caption + " | " + std::to_string(box.style) +
                        (box.owner ? " | owned" : ""));
    const std::vector<std::string> expected = {
        "Could not open Log File. | Error | 16", // ClearLog
        "SetDisplayMode Failed | ERROR | 16",    // the report's own box
        "Could not open Log File. | Error | 16", // the report's log line
    };
    EXPECT_EQ(boxes, expected);
}

} // namespace
