// The display device: set-up step by step, release in every state, and the flip's retries.
#include "display_test.h"

namespace {

const std::vector<WORD> WhiteTitle(8, 0xFFFF);

class DeviceTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        WriteBytes("FinalTitle.bmp", BitmapBytes(4, 2, std::string(24, '\xFF')));
    }
};

TEST_F(DeviceTest, SetUpTakesTheScreenAndReleaseGivesItAllBackInEveryState) {
    ReleaseDirectDraw();
    FlipSurfaces();
    EXPECT_EQ(scripted::CallCount("Flip"), 0);

    ASSERT_TRUE(InitDirectDraw());
    EXPECT_EQ(directDraw, nullptr);
    EXPECT_NE(backBuffer, nullptr);
    ASSERT_NE(titleSurface, nullptr);
    EXPECT_EQ(SurfacePixels(titleSurface), WhiteTitle);
    EXPECT_EQ(scripted::DisplayWidth() + scripted::DisplayHeight() * 1000, 800 + 600 * 1000);
    EXPECT_EQ(scripted::DisplayBitsPerPixel(), 16);
    for (int i = 0; i < 2; ++i) {
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0) << "release " << i;
        EXPECT_FALSE(directDraw4 || primarySurface || backBuffer || titleSurface) << i;
        EXPECT_FALSE(scripted::DisplayModeSet()) << "release " << i;
    }
    EXPECT_TRUE(scripted::MessageBoxes().empty());
}

TEST_F(DeviceTest, EachFailingStepIsReportedOnceAndKeepsWhatWasAcquiredUntilRelease) {
    const struct {
        const char* call;
        bool directDraw4Held;
        bool primaryHeld;
        const char* notReached; // the next call set-up would have made
    } steps[] = {{"DirectDrawCreate", false, false, "QueryInterface"},
                 {"QueryInterface", false, false, "SetCooperativeLevel"},
                 {"SetCooperativeLevel", true, false, "SetDisplayMode"},
                 {"SetDisplayMode", true, false, "CreateSurface"},
                 {"CreateSurface", true, false, "GetAttachedSurface"},
                 {"GetAttachedSurface", true, true, "Lock"}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].call);
        DisplayTest::SetUp();
        scripted::FailCall(steps[i].call, 1);
        EXPECT_FALSE(InitDirectDraw());
        ExpectOneReport(std::string(steps[i].call) + " Failed");
        EXPECT_EQ(scripted::CallCount(steps[i].notReached), 0);
        EXPECT_EQ(directDraw, nullptr);
        EXPECT_EQ(directDraw4 != nullptr, steps[i].directDraw4Held);
        EXPECT_EQ(primarySurface != nullptr, steps[i].primaryHeld);
        EXPECT_FALSE(backBuffer || titleSurface);
        // The first interface is always given back: nothing is alive without directDraw4.
        EXPECT_EQ(PortLiveObjects() > 0, steps[i].directDraw4Held);
        ReleaseDirectDraw();
        ReleaseDirectDraw();
        EXPECT_EQ(PortLiveObjects(), 0);
        EXPECT_EQ(scripted::MessageBoxes().size(), 1u);
    }
}

TEST_F(DeviceTest, SetUpSucceedsWithoutATitle) {
    const std::string files[] = {"", BitmapBytes(0, 120, "")};
    const char* const reports[] = {"Could not open FinalTitle.bmp", "NewSurface Failed"};
    for (size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        DisplayTest::SetUp();
        std::remove("FinalTitle.bmp");
        if (!files[i].empty())
            WriteBytes("FinalTitle.bmp", files[i]);
        EXPECT_TRUE(InitDirectDraw());
        EXPECT_EQ(titleSurface, nullptr);
        ExpectOneReport(reports[i]);
        ReleaseDirectDraw();
    }
}

TEST_F(DeviceTest, AFailingFlipIsRetriedAFewTimesInTheFrameWithoutAReport) {
    const struct {
        const char* failing;
        int times;
        long code;
        bool lost;
        int flips, restores, presents;
    } cases[] = {
        {"Flip", 2, DDERR_GENERIC, false, 3, 0, 1},
        {nullptr, 0, 0, true, 2, 2, 1}, // lost once: chain and title restored, then shown
        {"Restore", -1, DDERR_WRONGMODE, true, 3, 3, 0}, // the window is gone for good
        {"Flip", -1, DDERR_GENERIC, false, 3, 0, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        DeviceTest::SetUp();
        ASSERT_TRUE(InitDirectDraw());
        if (cases[i].failing)
            scripted::FailCall(cases[i].failing, cases[i].times, cases[i].code);
        if (cases[i].lost)
            scripted::LoseSurfaces();
        FlipSurfaces();
        EXPECT_EQ(scripted::CallCount("Flip"), cases[i].flips);
        EXPECT_EQ(scripted::CallCount("Restore"), cases[i].restores);
        EXPECT_EQ(scripted::PresentCount(), cases[i].presents);
        if (cases[i].presents)
            EXPECT_EQ(SurfacePixels(titleSurface), WhiteTitle); // read again after a restore
        else
            FlipSurfaces(); // the next frame tries again
        EXPECT_EQ(scripted::CallCount("Flip"), cases[i].flips * (cases[i].presents ? 1 : 2));
        EXPECT_TRUE(scripted::MessageBoxes().empty());
        EXPECT_EQ(ReadFile("Log.txt"), "");
        ReleaseDirectDraw();
    }
}

} // namespace
