// The radio's controls: knobs, standby windows, swaps, MODE, IDENT.
#include <gmock/gmock.h>

#include <cstring>
#include <limits>

#include "radio_support.h"

using panel::MouseButton;

namespace {

class RadioTuning : public RadioTest {
protected:
    void StartPowered() {
        Start();
        Cycle();
        host.ClearLogs();
    }
    // The standby record as it is saved at kill.
    std::pair<uint32_t, uint32_t> SavedStandby() {
        Kill();
        auto stored = Stored();
        if (!stored || stored->bytes.size() != 8) return {0xBAD, 0xBAD};
        uint32_t nav = 0, com = 0;
        std::memcpy(&nav, stored->bytes.data(), 4);
        std::memcpy(&com, stored->bytes.data() + 4, 4);
        return {nav, com};
    }
    // The value of the last event sent, checking its number.
    uint32_t LastEvent(uint32_t event) {
        if (host.events().empty()) return 0xBAD;
        EXPECT_EQ(host.events().back().event, event);
        return host.events().back().value;
    }
    void SetComStep(int step) {
        // The step starts at 50; the toggle alternates 25 and 50.
        if (step == 25) ClickArea(StepToggleArea);
    }
};

TEST_F(RadioTuning, NavKnobStepsAndWrapsTheActiveFrequency) {
    struct Case {
        uint32_t active;
        int area;
        uint32_t sent;
    };
    const Case cases[] = {
        {0x0800, NavKnobDownArea, 0x1795}, {0x1795, NavKnobUpArea, 0x0800},
        {0x1000, NavKnobUpArea, 0x1005},   {0x1000, NavKnobDownArea, 0x0995},
    };
    StartPowered();
    for (const Case& c : cases) {
        host.variables().Set(0x18, c.active);
        EXPECT_EQ(ClickArea(c.area), 1);
        EXPECT_EQ(LastEvent(65708), c.sent) << std::hex << c.active;
        EXPECT_EQ(host.variables().GetInteger(0x18), static_cast<int32_t>(c.sent));
    }
}

TEST_F(RadioTuning, ComKnobStepsByTheComStepAndWraps) {
    struct Case {
        int step;
        uint32_t active;
        int area;
        uint32_t sent;
    };
    const Case cases[] = {
        {25, 0x1800, ComKnobDownArea, 0x3697}, {25, 0x3697, ComKnobUpArea, 0x1800},
        {50, 0x1800, ComKnobDownArea, 0x3695}, {50, 0x3695, ComKnobUpArea, 0x1800},
        {25, 0x3695, ComKnobUpArea, 0x3697},   {25, 0x1802, ComKnobUpArea, 0x1805},
        {50, 0x1802, ComKnobUpArea, 0x1807},   {50, 0x1807, ComKnobDownArea, 0x1802},
        {25, 0x1807, ComKnobDownArea, 0x1805},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.step << " " << std::hex << c.active);
        StartPowered();
        SetComStep(c.step);
        host.variables().Set(0x17, c.active);
        EXPECT_EQ(ClickArea(c.area), 1);
        EXPECT_EQ(LastEvent(65707), c.sent);
        Kill();
        host.Unload(*radio);  // a fresh module: the step starts at 50 again
        radio = nullptr;
    }
}

TEST_F(RadioTuning, StandbyFrequenciesStepAndStopAtTheBandEdges) {
    struct Case {
        uint32_t nav, com;
        int step;  // the COM step in force
        std::vector<int> areas;
        uint32_t nav_after, com_after;
    };
    const Case cases[] = {
        {0x1750, 0x36500, 50, {NavStandbyWholeUpArea, ComStandbyWholeUpArea}, 0x1795, 0x37000},
        {0x0840, 0x18500, 50, {NavStandbyWholeDownArea, ComStandbyWholeDownArea}, 0x0800, 0x18000},
        {0x1790, 0x36975, 50, {NavStandbyFineUpArea, NavStandbyFineUpArea, ComStandbyFineUpArea}, 0x1795, 0x37000},
        {0x0805, 0x18025, 25, {NavStandbyFineDownArea, NavStandbyFineDownArea, ComStandbyFineDownArea,
                               ComStandbyFineDownArea}, 0x0800, 0x18000},
        // The default COM standby steps as 18000 and loses its leading digit.
        {0x0800, 0x118000, 25, {ComStandbyFineUpArea}, 0x0800, 0x18025},
        {0x0800, 0x118000, 50, {ComStandbyFineDownArea}, 0x0800, 0x18000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.nav << " " << c.com);
        StoreStandby(c.nav, c.com);
        StartPowered();
        SetComStep(c.step);
        for (int area : c.areas) EXPECT_EQ(ClickArea(area), 1);
        EXPECT_TRUE(host.events().empty());
        auto [nav, com] = SavedStandby();
        EXPECT_EQ(nav, c.nav_after);
        EXPECT_EQ(com, c.com_after);
        host.Unload(*radio);
        radio = nullptr;
    }
}

TEST_F(RadioTuning, StandbySteppingIsNotSavedUntilASwapOrKill) {
    StartPowered();
    ClickArea(NavStandbyWholeUpArea);
    EXPECT_FALSE(Stored().has_value());
    Cycle();
    EXPECT_EQ(Text(NavStandby), "109.00");
}

TEST_F(RadioTuning, SwapsExchangeStandbyAndActive) {
    struct Case {
        uint32_t nav, com;  // stored standby
        uint32_t token, active;
        int area;
        uint32_t event, sent;
        uint32_t nav_after, com_after;
    };
    const Case cases[] = {
        {0x0800, 0x18000, 0x17, 0x1802, ComSwapArea, 65707, 0x1800, 0x0800, 0x18025},
        {0x0800, 0x118000, 0x17, 0x1807, ComSwapArea, 65707, 0x11800, 0x0800, 0x18075},
        {0x0800, 0x37000, 0x17, 0x3697, ComSwapArea, 65707, 0x3700, 0x0800, 0x36975},
        {0x0800, 0x18000, 0x18, 0x1080, NavSwapArea, 65708, 0x0800, 0x1080, 0x18000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.active);
        StoreStandby(c.nav, c.com);
        host.variables().Set(c.token, c.active);
        StartPowered();
        EXPECT_EQ(ClickArea(c.area), 1);
        ASSERT_EQ(host.events().size(), 1u);
        EXPECT_EQ(LastEvent(c.event), c.sent);
        EXPECT_EQ(Text(Message), "    ");
        // Saved at once, with the new standby.
        auto stored = Stored();
        ASSERT_TRUE(stored.has_value());
        uint32_t nav = 0, com = 0;
        std::memcpy(&nav, stored->bytes.data(), 4);
        std::memcpy(&com, stored->bytes.data() + 4, 4);
        EXPECT_EQ(nav, c.nav_after);
        EXPECT_EQ(com, c.com_after);
        Kill();
    }
}

TEST_F(RadioTuning, MultiplesOfFiveInVariableFiveRefuseTheSwapButItIsStillSaved) {
    struct Case {
        double variable5;
        bool refused;
    };
    const Case cases[] = {{10, true}, {0, true}, {-5, true}, {10.9, true}, {2, false}, {-3, false},
                          {std::numeric_limits<double>::quiet_NaN(), false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable5);
        StartPowered();
        host.variables().Set(5, c.variable5);
        host.variables().Set(0x18, 0x1100);
        EXPECT_FALSE(Stored().has_value());
        EXPECT_EQ(ClickArea(NavSwapArea), 1);
        EXPECT_EQ(Text(Message), c.refused ? "SWAP REFUSED" : "    ");
        EXPECT_EQ(host.events().size(), c.refused ? 0u : 1u);
        EXPECT_TRUE(Stored().has_value());
        host.Unload(*radio);
        radio = nullptr;
        RadioTest::TearDown();
        RadioTest::SetUp();
    }
}

TEST_F(RadioTuning, UnpoweredOnlyThePowerKnobAndTheSwapButtonsAct) {
    StoreStandby(0x1000, 0x18000);
    host.variables().Set(0x17, 0x1802);
    host.variables().Set(0x18, 0x1100);
    WriteBus(1, 0);
    Start();
    Cycle();
    std::vector<uint32_t> flags_before;
    for (int e = Face; e <= Message; ++e) flags_before.push_back(Element(static_cast<RadioElement>(e))->image_flags);
    host.ClearLogs();
    for (int area = 2; area <= 28; ++area) {
        if (area == ComSwapArea || area == NavSwapArea) continue;
        int32_t fixed = area == ModeArea || area == CourseDownArea || area == CourseUpArea ? 0 : 1;
        EXPECT_EQ(ClickArea(area), fixed) << area;
        if (area == ModeArea) {
            EXPECT_EQ(ClickArea(area, MouseButton::Secondary), 0);
        }
    }
    EXPECT_TRUE(host.events().empty());
    EXPECT_TRUE(host.calls().empty());
    for (int e = Face; e <= Message; ++e)
        EXPECT_EQ(Element(static_cast<RadioElement>(e))->image_flags, flags_before[e]) << e;

    // A swap without power saves but does not swap.
    Store(REG_BINARY, {1, 2, 3});
    EXPECT_EQ(ClickArea(NavSwapArea), 1);
    EXPECT_EQ(Stored()->bytes, (std::vector<uint8_t>{0x00, 0x10, 0, 0, 0x00, 0x80, 0x01, 0}));
    EXPECT_EQ(ClickArea(ComSwapArea), 1);
    EXPECT_TRUE(host.events().empty());
    EXPECT_TRUE(Text(Message).empty());
    auto [nav, com] = SavedStandby();
    EXPECT_EQ(nav, 0x1000u);
    EXPECT_EQ(com, 0x18000u);
}

TEST_F(RadioTuning, EveryHandlerReturnsItsFixedResult) {
    StartPowered();
    host.variables().Set(0x17, 0x1800);
    host.variables().Set(0x18, 0x1000);
    for (int area = 1; area <= 28; ++area) {
        int32_t fixed = area == PowerArea || area == ModeArea || area == CourseDownArea || area == CourseUpArea ? 0 : 1;
        EXPECT_EQ(ClickArea(area), fixed) << area;
        if (area == PowerArea) ClickArea(PowerArea);  // back on
    }
}

TEST_F(RadioTuning, WindowAreasAskTheHostWithTheirEvents) {
    StartPowered();
    struct Case {
        int area;
        uint32_t event;
        uint32_t refreshed;  // token refreshed first, 0 for none
    };
    const Case cases[] = {
        {3, 65662, 0},      {4, 65663, 0},      {5, 65636, 0x17},   {6, 65637, 0x17},
        {7, 65638, 0x17},   {8, 65639, 0x17},   {14, 65640, 0x18},  {15, 65641, 0x18},
        {16, 65642, 0x18},  {17, 65643, 0x18},
    };
    for (const Case& c : cases) {
        host.ClearLogs();
        ClickArea(c.area);
        ASSERT_EQ(host.events().size(), 1u) << c.area;
        EXPECT_EQ(host.events()[0].event, c.event);
        EXPECT_EQ(host.events()[0].value, 0u);
        int refreshes = ServiceCount("RefreshVariable", 0x17) + ServiceCount("RefreshVariable", 0x18);
        EXPECT_EQ(refreshes, c.refreshed ? 1 : 0) << c.area;
        if (c.refreshed) {
            EXPECT_EQ(ServiceCount("RefreshVariable", c.refreshed), 1) << c.area;
        }
    }
}

TEST_F(RadioTuning, IdentSendsItsEventOnEveryClickAndTogglesThePicture) {
    StartPowered();
    EXPECT_EQ(ClickArea(IdentArea), 1);
    EXPECT_FALSE(Hidden(IdentKnob));
    EXPECT_EQ(ClickArea(IdentArea), 1);
    EXPECT_TRUE(Hidden(IdentKnob));
    ASSERT_EQ(host.events().size(), 2u);
    EXPECT_EQ(host.events()[0].event, 65842u);
    EXPECT_EQ(host.events()[1].event, 65842u);
    EXPECT_EQ(host.events()[1].value, 0u);
}

TEST_F(RadioTuning, ModeStepsForwardAndBackAndHidesTheBarsOutsideObs) {
    host.variables().Set(0x2E, 0);
    StartPowered();
    struct Step {
        MouseButton button;
        const char* legend;
    };
    const Step steps[] = {
        {MouseButton::Primary, "BRG"},   {MouseButton::Primary, "RAD"},   {MouseButton::Primary, "OBS"},
        {MouseButton::Secondary, "RAD"}, {MouseButton::Secondary, "BRG"}, {MouseButton::Secondary, "OBS"},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(ClickArea(ModeArea, step.button), 0);
        Cycle();
        EXPECT_EQ(Text(NavModeLegend), step.legend);
        bool obs = std::string(step.legend) == "OBS";
        EXPECT_EQ(Hidden(BarLeft), !obs) << step.legend;
        EXPECT_EQ(Hidden(BarRight), !obs) << step.legend;
    }
}

TEST_F(RadioTuning, StepToggleAlternatesTheStepAndShowsThePictureAt25) {
    StartPowered();
    EXPECT_TRUE(Hidden(StepKnob));  // 50 kHz at load
    host.variables().Set(0x17, 0x1800);
    ClickArea(ComKnobUpArea);
    EXPECT_EQ(LastEvent(65707), 0x1805u);

    EXPECT_EQ(ClickArea(StepToggleArea), 1);
    EXPECT_FALSE(Hidden(StepKnob));
    ClickArea(ComKnobUpArea);
    EXPECT_EQ(LastEvent(65707), 0x1807u);  // 118.050 + 25

    EXPECT_EQ(ClickArea(StepToggleArea), 1);
    EXPECT_TRUE(Hidden(StepKnob));
    ClickArea(ComKnobUpArea);
    EXPECT_EQ(LastEvent(65707), 0x1812u);  // 118.075 + 50
}

TEST_F(RadioTuning, AShortSessionLeavesItsEventsTextsAndStoredValue) {
    host.variables().Set(0x17, 0x2000);
    host.variables().Set(0x18, 0x1130);
    host.variables().Set(0x2E, 0);
    StartPowered();
    ClickArea(ComKnobUpArea);          // COM active 120.050
    ClickArea(NavStandbyWholeUpArea);  // NAV standby 109.00
    ClickArea(NavSwapArea);            // NAV active 109.00, standby 111.30
    ClickArea(ModeArea);               // BRG
    Cycle(2);
    ASSERT_EQ(host.events().size(), 2u);
    EXPECT_EQ(host.events()[0].event, 65707u);
    EXPECT_EQ(host.events()[0].value, 0x2005u);
    EXPECT_EQ(host.events()[1].event, 65708u);
    EXPECT_EQ(host.events()[1].value, 0x0900u);
    EXPECT_EQ(Text(ComActive), "120.05");
    EXPECT_EQ(Text(NavActive), "109.00");
    EXPECT_EQ(Text(NavStandby), "111.30");
    EXPECT_EQ(Text(NavModeLegend), "BRG");
    EXPECT_TRUE(Hidden(BarLeft));
    auto [nav, com] = SavedStandby();
    EXPECT_EQ(nav, 0x1130u);
    EXPECT_EQ(com, 0x118000u);
}

}  // namespace
