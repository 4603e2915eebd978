// The frames-per-second counter: one sample a second, counted only while the overlay is on,
// and never frozen by the millisecond clock's wrap.
#include <windows.h>

#include "display/device.h"
#include "display/frame.h"
#include "frame_support.h"
#include "game/world.h"
#include "host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FpsTest, SamplesOnceTheClockIsStrictlyPastTheDeadline) {
    const struct {
        const char* name;
        DWORD startDeadline;
        std::vector<std::pair<DWORD, int>> calls; // clock, what GetFps returns
    } scenarios[] = {
        {"ordinary",
         0,
         {{1000, 1}, {1500, 1}, {2000, 1}, {2001, 3}, {2002, 3}, {2500, 3}, {3001, 3}, {3002, 4}}},
        // Reached only after the wrap: the plain comparison would wait another 49.7 days.
        {"deadline before the wrap", 0, {{0xFFFFFC00, 1}, {0xFFFFFFE8, 1}, {5, 2}}},
        // Wrapped to a small number, yet still ahead of a large clock.
        {"deadline after the wrap",
         0xFFFFF000,
         {{0xFFFFFE00, 1}, {0xFFFFFF00, 1}, {0x1E8, 1}, {0x1E9, 3}}},
        {"a month without the overlay", 2000, {{2000 + 30u * 86400000u, 1}}},
        {"started in the clock's last second", 0, {{0xFFFFFF00, 0}, {0, 0}, {1, 3}}},
    };
    for (const auto& s : scenarios) {
        ResetEverything();
        nextFpsTime = s.startDeadline;
        for (size_t i = 0; i < s.calls.size(); ++i) {
            scripted::SetClock(s.calls[i].first);
            EXPECT_EQ(GetFps(), s.calls[i].second) << s.name << ", call " << i;
        }
    }
}

TEST(FpsTest, OnlyFramesWithTheOverlayAreCounted) {
    ResetEverything();
    TempDir dir;
    WriteBlockTitle("FinalTitle.bmp");
    ASSERT_TRUE(StartDisplay());
    scripted::SetClock(1000);
    for (int frame = 0; frame < 5; ++frame, scripted::AdvanceClock(16))
        GameFrame();
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(nextFpsTime, 0u);

    debugInfo = true;
    GameFrame(); // at 1080: the first sample, of one frame
    EXPECT_EQ(lastFps, 1);
    for (int frame = 0; frame < 63; ++frame) {
        scripted::AdvanceClock(16);
        GameFrame();
    }
    EXPECT_EQ(lastFps, 63) << "16 ms frames from 1096 to 2088, the first past 2080";
    ReleaseDirectDraw();
    EXPECT_EQ(PortLiveObjects(), 0);
}

} // namespace
