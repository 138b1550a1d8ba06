// Many kills and initialises of the radio with clicks and swaps between
// them: nothing may be left open, and the stored value must be the one the
// last swap saved. SOAK_CYCLES sets how many (10,000 in the Linux build,
// 1,000 under Wine by default). Leaks show in the sanitizer build, whose
// LeakSanitizer checks at exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "radio_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "standin_control.h"
#endif

namespace {

int Cycles() {
    const char* text = std::getenv("SOAK_CYCLES");
    if (text && *text) return std::atoi(text);
#if defined(_WIN32)
    return 1000;
#else
    return 10000;
#endif
}

int OpenHandles() {
#if defined(_WIN32)
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
#else
    return standin::OpenKeys() + standin::OpenMappings() + standin::MappedViews();
#endif
}

using Soak = RadioTest;

TEST_F(Soak, ManyKillsAndInitialisesLeaveNothingBehind) {
    StoreStandby(0x1080, 0x18025);
    host.variables().Set(0x18, 0x1000);
    host.variables().Set(0x17, 0x1800);
    // The NAV standby and active frequencies, as counts, as the radio should
    // leave them: each round steps the standby up 1 MHz and swaps.
    int standby = 1080, active = 1000;
    int handles_after_first = 0;
    const int cycles = Cycles();
    for (int round = 0; round < cycles; ++round) {
        Start();
        Cycle();
        ClickArea(ComKnobUpArea);
        ClickArea(NavStandbyWholeUpArea);
        standby = std::min(standby + 100, 1795);
        ClickArea(NavSwapArea);
        std::swap(standby, active);
        Cycle();
        Kill();
        host.ClearLogs();
        if (round == 0) handles_after_first = OpenHandles();
        // A short run does not tell growth from noise; every round must not.
        ASSERT_LE(OpenHandles(), handles_after_first) << "round " << round;
    }
    auto stored = Stored();
    ASSERT_TRUE(stored.has_value());
    ASSERT_EQ(stored->bytes.size(), 8u);
    uint32_t nav = 0, com = 0;
    std::memcpy(&nav, stored->bytes.data(), 4);
    std::memcpy(&com, stored->bytes.data() + 4, 4);
    uint32_t expected = uint32_t(standby / 1000) << 12 | uint32_t(standby / 100 % 10) << 8 |
                        uint32_t(standby / 10 % 10) << 4 | uint32_t(standby % 10);
    EXPECT_EQ(nav, expected);
    EXPECT_EQ(com, 0x18025u);
#if !defined(_WIN32)
    EXPECT_EQ(standin::OpenKeys(), 0);
    EXPECT_EQ(standin::MappedViews(), 1);   // the test's own view of the bus
    EXPECT_EQ(standin::OpenMappings(), 2);  // the radio's handle, kept, and the test's
#endif
}

}  // namespace
