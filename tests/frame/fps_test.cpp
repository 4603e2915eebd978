// The frames-per-second counter: one sample a second, counted only while the overlay is on,
// and never frozen by the millisecond clock's wrap.
#include <windows.h>

#include "display/frame.h"
#include "frame_support.h"
#include "host.h"
#include "game/world.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Call {
    DWORD clock;
    int fps; // what GetFps returns
};

struct Scenario {
    const char* name;
    DWORD startDeadline;
    std::vector<Call> calls;
};

TEST(FpsTest, SamplesOnceTheClockIsStrictlyPastTheDeadline) {
    const Scenario scenarios[] = {
        {"ordinary",
         0,
         {{1000, 1}, {1500, 1}, {2000, 1}, {2001, 3}, {2002, 3}, {2500, 3}, {3001, 3}, {3002, 4}}},
        // A deadline just short of the wrap, reached only after it: the plain comparison would
        // wait another 49.7 days.
        {"deadline before the wrap", 0, {{0xFFFFFC00, 1}, {0xFFFFFFE8, 1}, {5, 2}}},
        // A deadline that itself wrapped to a small number is still ahead of a large clock.
        {"deadline after the wrap",
         0xFFFFF000,
         {{0xFFFFFE00, 1}, {0xFFFFFF00, 1}, {0x1E8, 1}, {0x1E9, 3}}},
        {"after a month without the overlay", 2000, {{2000 + 30u * 86400000u, 1}}},
        {"started in the clock's last second", 0, {{0xFFFFFF00, 0}, {0, 0}, {1, 3}}},
    };
    for (const Scenario& s : scenarios) {
        ResetEverything();
        nextFpsTime = s.startDeadline;
        for (size_t i = 0; i < s.calls.size(); ++i) {
            scripted::SetClock(s.calls[i].clock);
            EXPECT_EQ(GetFps(), s.calls[i].fps) << s.name << ", call " << i;
        }
    }
}

TEST(FpsTest, OnlyFramesWithTheOverlayAreCounted) {
    ResetEverything();
    TempDir dir;
    WriteBlockTitle("FinalTitle.bmp");
    ASSERT_TRUE(StartDisplay());
    scripted::SetClock(1000);
    for (int frame = 0; frame < 5; ++frame) {
        GameFrame();
        scripted::AdvanceClock(16);
    }
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(lastFps, 0);
    EXPECT_EQ(nextFpsTime, 0u);

    debugInfo = true;
    GameFrame(); // the first sample: one frame
    EXPECT_EQ(lastFps, 1);
    EXPECT_EQ(nextFpsTime, 1080u + 1000u);
    for (int frame = 0; frame < 63; ++frame) {
        scripted::AdvanceClock(16);
        GameFrame();
    }
    EXPECT_EQ(lastFps, 63) << "a second of 16 ms frames, sampled at 2088 ms";
    StopDisplay();
    EXPECT_EQ(PortLiveObjects(), 0);
}

} // namespace
