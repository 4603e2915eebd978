// The flip's pace, through the scripted host, whose Sleep moves the clock on by its time.
#include <windows.h>
#include <mmsystem.h>

#include "display/device.h"
#include "display/pacing.h"
#include "scripted_host.h"
#include "shell/main_window.h"
#include "support/test_support.h"

namespace {

class PacingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEverything();
        scripted::SetKeepPresents(false);
        mainWindow = reinterpret_cast<HWND>(0x40);
        ASSERT_TRUE(InitDirectDraw());
    }
    TempDir dir;
};

// A page sooner than its deadline waits for it (1/60 s apart, in whole sixtieths of a second),
// a later one does not, and the deadlines go on from where they were unless a page is 50 ms
// late or more; then, as after a stall, they start again from it. Across the clock's wrap too.
TEST_F(PacingTest, APageWaitsForItsDeadlineAndALateOneDoesNot) {
    const struct {
        DWORD clock; // when the frame flips
        DWORD wait;
    } flips[] = {
        {5000, 0},        // the first page, at once
        {5001, 16},       // 5017
        {5017, 17},       // 5034
        {5050, 0},        // on the dot: 5050 is 3/60 s on
        {5070, 0},        // 3 ms late: the next deadline stays at 5084
        {5071, 13},       // 5084
        {5149, 0},        // 49 ms late, the most made good: 5117, 5134 and 5150 are due at once
        {5150, 0},        //
        {5151, 0},        //
        {5152, 0},        //
        {5153, 14},       // 5167
        {5234, 0},        // 50 ms late: afresh from 5234
        {5235, 16},       // 5251
        {9000, 0},        // after a stall of seconds, afresh: no burst
        {9001, 16},       // 9017
        {0xFFFFFFF0, 0},  // far from the last deadline: afresh
        {0xFFFFFFF5, 12}, // to 0x1, past the wrap
        {0x10, 2},        // 0x12
        {0xFFFFFFC0, 0},  // afresh, the next deadline 0xFFFFFFD1
        {0x5, 0},         // late across the wrap: afresh, never a wait of 49 days
        {0x6, 16},        // 0x16
    };
    for (const auto& flip : flips) {
        scripted::SetClock(flip.clock);
        const size_t from = scripted::Calls().size();
        FlipSurfaces();
        EXPECT_EQ(timeGetTime() - flip.clock, flip.wait) << "at " << flip.clock;
        EXPECT_EQ(scripted::CallNames(from).at(0), flip.wait ? "Sleep" : "Flip") << flip.clock;
    }
}

// Long runs on displays of every pace: pages never come faster than 60 a second on average,
// with no drift, and a display at 60 Hz whose flip waits for its refresh misses none.
TEST_F(PacingTest, PagesKeepSixtyASecondWithoutDriftOnAnyDisplay) {
    const struct {
        const char* display;
        DWORD work;     // ms from one flip's return to the next flip
        int refreshHz;  // the flip waits for the next refresh; 0: it does not wait
        int sleepsOver; // ms each Sleep oversleeps by, as Windows' may
        DWORD frames;
        DWORD ms;        // the frames take, from the first flip's start to the last one's end
        DWORD tolerance; // either way
    } runs[] = {
        {"never waits", 0, 0, 0, 10000, 166667, 17},
        {"never waits, oversleeping", 3, 0, 2, 10000, 166667, 17},
        {"60 Hz", 2, 60, 0, 3600, 60000, 0},
        {"144 Hz", 1, 144, 0, 10000, 166667, 17},
        {"slower than 60 a second", 18, 0, 0, 1001, 18000, 0},
    };
    scripted::SetRecording(false);
    for (const auto& run : runs) {
        SCOPED_TRACE(run.display);
        framePacer = {0, 0};
        const DWORD start = 1000;
        scripted::SetClock(start);
        for (DWORD frame = 0; frame < run.frames; ++frame) {
            const DWORD before = timeGetTime();
            FlipSurfaces();
            if (timeGetTime() != before) // it slept
                scripted::AdvanceClock(run.sleepsOver);
            if (run.refreshHz) {
                // The refresh after the flip, on the display's own clock since `start`.
                const DWORD refreshes = (timeGetTime() - start) * run.refreshHz / 1000 + 1;
                scripted::SetClock(start + (refreshes * 1000 + run.refreshHz - 1) / run.refreshHz);
            }
            if (frame + 1 < run.frames)
                scripted::AdvanceClock(run.work);
        }
        const DWORD took = timeGetTime() - start;
        EXPECT_NEAR(took, run.ms, run.tolerance);
    }
}

} // namespace
