// The log file and the failure report, each test in a directory of its own.
#include "support/test_support.h"

#include "scripted_host.h"
#include "shell/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetEverything(); }
    TempDir dir;
};

TEST_F(LogTest, ClearingEmptiesTheOldLogAndWritingAppendsExactlyTheText) {
    std::ofstream("Log.txt") << "from an earlier run\n";
    ClearLog();
    EXPECT_EQ(ReadFile("Log.txt"), "");

    const struct {
        const char* text;
        int endLine;
        const char* log;
    } writes[] = {{"one", 1, "one\n"},
                  {"Score:", 0, "one\nScore: "}, // a space, and the next text on the same line
                  {"100", 1, "one\nScore: 100\n"},
                  {"", 1, "one\nScore: 100\n\n"},
                  {"first\nsecond", 1, "one\nScore: 100\n\nfirst\nsecond\n"},
                  {nullptr, 1, "one\nScore: 100\n\nfirst\nsecond\n\n"}};
    for (size_t i = 0; i < std::size(writes); ++i) {
        WriteLog(writes[i].text, writes[i].endLine);
        EXPECT_EQ(ReadFile("Log.txt"), writes[i].log) << "write " << i;
    }
    EXPECT_TRUE(scripted::MessageBoxes().empty());
}

TEST_F(LogTest, AReportShowsItsBoxFirstThenLogsItsOwnText) {
    const HWND owner = reinterpret_cast<HWND>(uintptr_t{0x40});
    std::string logWhileBoxOpen = "unread";
    scripted::OnMessageBox([&](const scripted::MessageBoxRecord&) {
        logWhileBoxOpen = ReadFile("Log.txt");
        return IDOK;
    });
    ReportFailure(owner, "SideTop blt Failed", "Error", MB_OK, "SideTop Blt Failed");
    ASSERT_EQ(scripted::MessageBoxes().size(), 1u);
    const scripted::MessageBoxRecord& box = scripted::MessageBoxes()[0];
    EXPECT_EQ(box.owner, owner);
    EXPECT_EQ(box.text + "|" + box.caption, "SideTop blt Failed|Error");
    EXPECT_EQ(box.style, MB_OK);
    EXPECT_EQ(logWhileBoxOpen, "");
    EXPECT_EQ(ReadFile("Log.txt"), "SideTop Blt Failed\n");
}

TEST_F(LogTest, ALogThatCannotBeOpenedGivesABoxForEveryCallAndIsLeftAlone) {
    for (const bool directory : {true, false}) {
        SCOPED_TRACE(directory ? "a directory" : "a read-only file");
        ResetEverything();
        std::filesystem::remove_all("Log.txt");
        if (directory) {
            std::filesystem::create_directory("Log.txt");
        } else {
            if (geteuid() == 0)
                continue; // root writes to read-only files
            std::ofstream("Log.txt") << "earlier\n";
            chmod("Log.txt", 0444);
        }
        ClearLog();
        ReportFailure(nullptr, "SetDisplayMode Failed", "ERROR", MB_ICONERROR, "same");
        const char* const unavailable = "Could not open Log File.";
        const auto& boxes = scripted::MessageBoxes();
        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_EQ(boxes[0].text + boxes[1].text + boxes[2].text,
                  std::string(unavailable) + "SetDisplayMode Failed" + unavailable);
        for (size_t i : {0, 2}) {
            EXPECT_EQ(boxes[i].owner, nullptr) << "box " << i;
            EXPECT_EQ(boxes[i].caption, "Error") << "box " << i;
            EXPECT_EQ(boxes[i].style, MB_ICONERROR) << "box " << i;
        }
        EXPECT_EQ(ReadFile("Log.txt"), directory ? "" : "earlier\n");
    }
}

} // namespace
