// The navigation read-out in the radio's middle window.
#include <gmock/gmock.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "radio_support.h"

using panel::MouseButton;

namespace {

class RadioReadout : public RadioTest {
protected:
    // A powered radio with a usable TO signal, in the given mode.
    void StartInMode(int mode) {
        host.variables().Set(0x2E, 0);
        host.variables().Set(0x2B, 1);
        Start();
        Cycle();
        for (int i = 0; i < mode; ++i) ClickArea(ModeArea);
    }
};

TEST_F(RadioReadout, RadialAndBearingFromTheRawRadial) {
    struct Case {
        double raw;
        const char* radial;
        const char* bearing;
    };
    const Case cases[] = {
        {0, "000", "180"},     {32760, "180", "360"}, {32942, "181", "001"},
        {181, "000", "180"},   {65535, "360", "180"}, {182 * 90 + 181.9, "090", "270"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        host.variables().Set(0x19, c.raw);
        StartInMode(2);
        Cycle();
        EXPECT_EQ(Text(NavModeLegend), "RAD");
        EXPECT_EQ(Text(NavNumber), c.radial);
        EXPECT_EQ(Text(NavFlag), "FR");
        ClickArea(ModeArea, MouseButton::Secondary);  // back to BRG
        Cycle();
        EXPECT_EQ(Text(NavModeLegend), "BRG");
        EXPECT_EQ(Text(NavNumber), c.bearing);
        EXPECT_EQ(Text(NavFlag), "TO");
        ClickArea(ModeArea, MouseButton::Secondary);  // OBS, for the next case
        Kill();
    }
}

TEST_F(RadioReadout, ObsShowsTheSelectedCourseWithItsToFromIndication) {
    host.variables().Set(0x2D, 5.9);
    StartInMode(0);
    struct Case {
        int to_from;
        const char* indication;
    };
    // Any other value leaves the indication as it was.
    const Case cases[] = {{1, "TO"}, {2, "FR"}, {0, " "}, {7, " "}, {2, "FR"}, {-1, "FR"}};
    for (const Case& c : cases) {
        host.variables().Set(0x2B, c.to_from);
        Cycle(2);
        EXPECT_EQ(Text(NavNumber), "005");
        EXPECT_EQ(Text(NavModeLegend), "OBS");
        EXPECT_EQ(Text(NavFlag), c.indication) << c.to_from;
    }
}

TEST_F(RadioReadout, NumbersThatDoNotFitReadAsDashes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double obs : {1234.0, -7.0, nan, 1e12, 999.99, 0.0}) {
        host.variables().Set(0x2D, obs);
        StartInMode(0);
        Cycle();
        auto* number = panel::As<StringElement>(Element(NavNumber));
        EXPECT_LE(std::strlen(number->text), 3u) << obs;
        std::string expected = obs == 999.99 ? "999" : obs == 0.0 ? "000" : "---";
        EXPECT_EQ(Text(NavNumber), expected) << obs;
        Kill();
    }
}

TEST_F(RadioReadout, NoSignalWithALocalizerReadsFlagAndLocAndKeepsTheMode) {
    StartInMode(1);
    host.variables().Set(0x2E, 0x88);
    Cycle(2);
    EXPECT_EQ(Text(NavFlag), "FLAG");
    EXPECT_EQ(Text(NavNumber), "LOC");
    EXPECT_EQ(Text(NavModeLegend), "   ");
    // Still BRG: once the localizer goes, the legend says so.
    host.variables().Set(0x2E, 0);
    Cycle(2);
    EXPECT_EQ(Text(NavModeLegend), "BRG");
}

TEST_F(RadioReadout, ALocalizerForcesObsAndBringsTheBarsBack) {
    StartInMode(2);
    ASSERT_TRUE(Hidden(BarLeft));
    host.variables().Set(0x2E, 0x80);
    Cycle(2);
    EXPECT_EQ(Text(NavFlag), " ");
    EXPECT_EQ(Text(NavNumber), "LOC");
    EXPECT_EQ(Text(NavModeLegend), "   ");
    EXPECT_FALSE(Hidden(BarLeft));
    EXPECT_FALSE(Hidden(BarRight));
    // MODE does not cycle while the localizer is received.
    ClickArea(ModeArea);
    host.variables().Set(0x2E, 0);
    Cycle(2);
    EXPECT_EQ(Text(NavModeLegend), "OBS");
}

TEST_F(RadioReadout, FirstCycleAfterLoadShowsFlag) {
    host.variables().Set(0x2E, 0);
    host.variables().Set(0x2B, 1);
    Start();
    Cycle();
    EXPECT_EQ(Text(NavFlag), "FLAG");
    Cycle();
    EXPECT_EQ(Text(NavFlag), "TO");
}

TEST_F(RadioReadout, DeviationBarsFollowTheSignal) {
    struct Case {
        int flags;
        double deviation;
        double left, right;
    };
    const Case cases[] = {
        {0x08, 40, 128, 0}, {0x08, -100, 128, 0}, {0, 40, 40, 168},
        {0, -40, -40, 88},  {0, 0, 0, 128},       {0, 128, 128, 256},
    };
    StartInMode(0);
    for (const Case& c : cases) {
        host.variables().Set(0x2E, c.flags);
        host.variables().Set(0x28, c.deviation);
        Cycle(2);
        EXPECT_EQ(Value(BarLeft), c.left) << c.flags << " " << c.deviation;
        EXPECT_EQ(Value(BarRight), c.right) << c.flags << " " << c.deviation;
    }
}

TEST_F(RadioReadout, WhileDarkTheLegendGoesOnButNumberAndIndicationKeepTheirText) {
    host.variables().Set(0x2D, 90);
    StartInMode(0);
    Cycle();
    ASSERT_EQ(Text(NavNumber), "090");
    bus().powerCondition1 = 0;
    host.variables().Set(0x2D, 120);
    host.variables().Set(0x2E, 0x80);
    Cycle(2);
    EXPECT_EQ(Text(NavNumber), "090");
    EXPECT_EQ(Text(NavFlag), "TO");
    EXPECT_EQ(Text(NavModeLegend), "   ");
}

}  // namespace
