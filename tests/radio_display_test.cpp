// The radio's frequency windows and the lit and dark display.
#include <gmock/gmock.h>

#include <cstring>

#include "radio_support.h"

using panel::MouseButton;

namespace {

using RadioDisplay = RadioTest;

TEST_F(RadioDisplay, ShowsTheActiveAndStandbyFrequencies) {
    host.variables().Set(0x18, 0x1795);
    host.variables().Set(0x17, 0x1802);
    Start();
    Cycle();
    EXPECT_EQ(Text(NavActive), "117.95");
    EXPECT_EQ(Text(ComActive), "118.02");
    EXPECT_EQ(Text(NavStandby), "108.00");
    EXPECT_EQ(Text(ComStandby), "118.00");  // the default 0x118000
}

TEST_F(RadioDisplay, EveryFrequencyTextIsSixCharactersAndANul) {
    host.variables().Set(0x18, 0x0800);
    host.variables().Set(0x17, 0x3697);
    Start();
    Cycle();
    for (RadioElement element : {NavActive, NavStandby, ComActive, ComStandby}) {
        auto* text = panel::As<StringElement>(Element(element));
        EXPECT_EQ(text->max_chars, 6u);
        EXPECT_EQ(std::strlen(text->text), 6u);
        EXPECT_EQ(text->text[3], '.');
    }
}

TEST_F(RadioDisplay, ActiveTextsRefreshOncePerCallAndStandbyTextsCallNoService) {
    Start();
    Cycle();
    host.ClearLogs();
    Cycle();
    // One refresh each in the update routine, one in each active text callback.
    EXPECT_EQ(ServiceCount("RefreshVariable", 0x18), 2);
    EXPECT_EQ(ServiceCount("RefreshVariable", 0x17), 2);

    host.ClearLogs();
    panel::ActiveHost active(host);
    for (RadioElement element : {NavStandby, ComStandby, NavActive}) {
        auto* text = panel::As<StringElement>(Element(element));
        EXPECT_EQ(text->text_callback(12.5), 12.5);
    }
    // Only NavActive's callback asked the host for anything.
    ASSERT_EQ(host.calls().size(), 1u);
    EXPECT_EQ(host.calls()[0].service, "RefreshVariable");
}

TEST_F(RadioDisplay, WhileDarkTheTextCallbacksWriteNothingAndCallNoService) {
    WriteBus(1, 0);
    host.variables().Set(0x18, 0x1795);
    Start();
    Cycle(2);
    EXPECT_TRUE(Text(NavActive).empty());
    EXPECT_TRUE(Text(ComStandby).empty());
    host.ClearLogs();
    panel::ActiveHost active(host);
    for (RadioElement element : {NavActive, NavStandby, ComActive, ComStandby}) {
        auto* text = panel::As<StringElement>(Element(element));
        EXPECT_EQ(text->text_callback(-3.25), -3.25);
        EXPECT_EQ(text->text[0], '\0');
    }
    EXPECT_TRUE(host.calls().empty());
}

TEST_F(RadioDisplay, FirstInitialiseWithoutBusPowerDarkensTheDisplay) {
    WriteBus(0, 1);
    Start();
    EXPECT_FALSE(Hidden(LcdOff));
    EXPECT_TRUE(Hidden(BarLeft));
    EXPECT_TRUE(Hidden(BarRight));
    EXPECT_TRUE(Hidden(PowerKnob));
    // Only the hidden bit changes: the declared drawing bits stay.
    EXPECT_EQ(Element(LcdOff)->image_flags, 0x3u);
    EXPECT_EQ(Element(BarLeft)->image_flags, 0x40000003u);
}

TEST_F(RadioDisplay, SwitchingOnWhileLitChangesNothing) {
    Start();
    Cycle();
    ClickArea(ModeArea);  // BRG hides the bars
    ASSERT_TRUE(Hidden(BarLeft));
    Cycle(3);  // each cycle applies the power rule and finds the display lit
    EXPECT_TRUE(Hidden(BarLeft));
    EXPECT_TRUE(Hidden(BarRight));
    EXPECT_TRUE(Hidden(LcdOff));
}

TEST_F(RadioDisplay, DarkThenLitAgainRewritesTheTextsFromCurrentValues) {
    WriteBus(1, 1);
    host.variables().Set(0x18, 0x1000);
    Start();
    Cycle();
    EXPECT_EQ(Text(NavActive), "110.00");

    bus().powerCondition1 = 0;
    Cycle();
    host.variables().Set(0x18, 0x1150);
    Cycle(2);
    EXPECT_FALSE(Hidden(LcdOff));
    EXPECT_EQ(Text(NavActive), "110.00");  // kept while dark, under the cover

    bus().powerCondition1 = 1;
    Cycle();
    EXPECT_TRUE(Hidden(LcdOff));
    EXPECT_FALSE(Hidden(BarLeft));
    // The frequency texts come before the power follow-up in each cycle.
    EXPECT_EQ(Text(NavActive), "110.00");
    Cycle();
    EXPECT_EQ(Text(NavActive), "111.50");
}

}  // namespace
