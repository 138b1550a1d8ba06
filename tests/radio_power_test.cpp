// The radio's power and the standby frequencies kept in the registry.
#include <gmock/gmock.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "radio_support.h"

#if !defined(_WIN32)
#include "standin_control.h"
#endif

namespace {

using RadioPower = RadioTest;

const std::vector<uint8_t> DefaultBytes = {0x00, 0x08, 0x00, 0x00, 0x00, 0x80, 0x11, 0x00};

TEST_F(RadioPower, NewBusIsSetUpByTheRadioItself) {
    Start();
    EXPECT_EQ(bus().powerCondition1, 1);
    EXPECT_EQ(bus().powerCondition2, 1);
    EXPECT_EQ(bus().initMark, 0);  // never written by the radio
    EXPECT_TRUE(Hidden(LcdOff));
    EXPECT_FALSE(Hidden(PowerKnob));
}

TEST_F(RadioPower, InitialiseFollowsTheBusAndHostVariableFive) {
    struct Case {
        int32_t condition1, condition2;
        double variable5;
        bool on;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {1, 1, 2.0, true},   {1, 1, 8.0, true},   {1, 1, 7.0, false}, {1, 1, -3.0, false},
        {1, 1, 0.0, true},   {1, 0, 2.0, false},  {0, 1, 2.0, false}, {2, 1, 2.0, false},
        // Not a number or out of range counts as -2147483648: even.
        {1, 1, nan, true},   {1, 1, 1e10, true},  {1, 1, -1e10, true}, {1, 1, 7.9, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.condition1 << "," << c.condition2 << " var5 " << c.variable5);
        WriteBus(c.condition1, c.condition2);
        host.variables().Set(5, c.variable5);
        Start();
        EXPECT_EQ(Hidden(LcdOff), c.on);
        EXPECT_EQ(Hidden(PowerKnob), !c.on);
        Cycle();
        EXPECT_EQ(Hidden(LcdOff), c.on);
        Kill();
    }
}

TEST_F(RadioPower, KnobIsIgnoredWithoutBusPowerAndWaitsForAClickAfterwards) {
    WriteBus(1, 0);
    Start();
    EXPECT_EQ(ClickArea(PowerArea), 0);
    Cycle();
    EXPECT_FALSE(Hidden(LcdOff));
    EXPECT_TRUE(Hidden(PowerKnob));

    bus().powerCondition2 = 1;
    Cycle(2);
    EXPECT_FALSE(Hidden(LcdOff));  // switched off at initialise: stays off

    EXPECT_EQ(ClickArea(PowerArea), 0);
    EXPECT_TRUE(Hidden(LcdOff));
    EXPECT_FALSE(Hidden(PowerKnob));
    EXPECT_EQ(ClickArea(PowerArea), 0);
    EXPECT_FALSE(Hidden(LcdOff));
    EXPECT_TRUE(Hidden(PowerKnob));
}

TEST_F(RadioPower, DisplayFollowsAConditionThatDropsAndReturns) {
    WriteBus(1, 1);
    Start();
    Cycle();
    bus().powerCondition2 = 0;
    Cycle();
    EXPECT_FALSE(Hidden(LcdOff));
    EXPECT_FALSE(Hidden(PowerKnob));  // the knob stays on
    // Controls other than the knob do nothing meanwhile.
    EXPECT_EQ(ClickArea(IdentArea), 1);
    EXPECT_TRUE(Events().empty());
    bus().powerCondition2 = 1;
    Cycle();
    EXPECT_TRUE(Hidden(LcdOff));
}

TEST_F(RadioPower, NoStoredValueGivesTheDefaultsAndKillStoresThem) {
    Start();
    Cycle();
    EXPECT_EQ(Text(NavStandby), "108.00");
    EXPECT_EQ(Text(ComStandby), "118.00");
    EXPECT_FALSE(Stored().has_value());
    Kill();
    auto stored = Stored();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, REG_BINARY);
    EXPECT_EQ(stored->bytes, DefaultBytes);
}

TEST_F(RadioPower, StoredStandbyFrequenciesSurviveKillAndInitialise) {
    StoreStandby(0x1080, 0x18025);
    Start();
    Cycle();
    EXPECT_EQ(Text(NavStandby), "110.80");
    EXPECT_EQ(Text(ComStandby), "118.02");

    ClickArea(NavStandbyWholeUpArea);  // 111.80
    ClickArea(ComStandbyFineUpArea);   // 118.075 with the 50 kHz step
    EXPECT_EQ(Stored()->bytes, (std::vector<uint8_t>{0x80, 0x10, 0, 0, 0x25, 0x80, 0x01, 0}));  // not yet saved
    Kill();
    EXPECT_EQ(Stored()->bytes, (std::vector<uint8_t>{0x80, 0x11, 0, 0, 0x75, 0x80, 0x01, 0}));
    Start();
    Cycle();
    EXPECT_EQ(Text(NavStandby), "111.80");
    EXPECT_EQ(Text(ComStandby), "118.07");
}

TEST_F(RadioPower, StoredValueOfAnotherSizeOrTypeIsNotUsed) {
    struct Case {
        DWORD type;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {REG_BINARY, {}},
        {REG_BINARY, {0x80, 0x10, 0, 0}},
        {REG_BINARY, {0x80, 0x10, 0, 0, 0x25, 0x80, 0x01}},
        {REG_BINARY, {0x80, 0x10, 0, 0, 0x25, 0x80, 0x01, 0, 0}},
        {REG_BINARY, std::vector<uint8_t>(16, 0x11)},
        {REG_DWORD, {0x80, 0x10, 0, 0}},
        {REG_SZ, {'1', '2', '3', '4', '5', '6', '7', 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.bytes.size() << " bytes");
        Store(c.type, c.bytes);
        Start();
        Cycle();
        EXPECT_EQ(Text(NavStandby), "108.00");
        EXPECT_EQ(Text(ComStandby), "118.00");
        Kill();
        auto stored = Stored();
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(stored->type, REG_BINARY);
        EXPECT_EQ(stored->bytes, DefaultBytes);
    }
}

TEST_F(RadioPower, DamagedStoredValuesGiveDefaultsOrTextsWithinTheirCharacters) {
    struct Case {
        DWORD type;
        std::vector<uint8_t> bytes;
        bool defaults;
    };
    std::vector<Case> cases;
    for (size_t size = 0; size <= 16; ++size)
        cases.push_back({REG_BINARY, std::vector<uint8_t>(size, 0xFF), size != 8});
    cases.push_back({REG_DWORD, std::vector<uint8_t>(8, 0x11), true});
    cases.push_back({REG_SZ, {'1', '0', '8', '.', '0', '0', 0, 0}, true});
    auto record = [](uint32_t nav, uint32_t com) {
        std::vector<uint8_t> bytes(8);
        std::memcpy(bytes.data(), &nav, 4);
        std::memcpy(bytes.data() + 4, &com, 4);
        return bytes;
    };
    // Nibbles above 9, and frequencies outside their bands.
    for (auto [nav, com] : {std::pair<uint32_t, uint32_t>{0xABCD, 0xABCDE}, {0xFFFFFFFF, 0xFFFFFFFF},
                            {0x0000, 0x00000}, {0x9999, 0x99999}, {0x0799, 0x17999}, {0x1800, 0x37500},
                            {0x80000000, 0x7FFFFFFF}})
        cases.push_back({REG_BINARY, record(nav, com), false});

    const int areas[] = {ComStandbyWholeDownArea, ComStandbyWholeUpArea, ComStandbyFineDownArea, ComStandbyFineUpArea,
                         NavStandbyWholeDownArea, NavStandbyWholeUpArea, NavStandbyFineDownArea, NavStandbyFineUpArea,
                         ComSwapArea, NavSwapArea, ComKnobUpArea, NavKnobDownArea};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.bytes.size() << " bytes, first "
                                        << int(c.bytes.empty() ? 0 : c.bytes[0]));
        Store(c.type, c.bytes);
        Start();
        Cycle();
        if (c.defaults) {
            EXPECT_EQ(Text(NavStandby), "108.00");
            EXPECT_EQ(Text(ComStandby), "118.00");
        }
        for (int area : areas) {
            ClickArea(area);
            Cycle();
            EXPECT_TRUE(radio->BrokenTexts().empty()) << "area " << area;
            for (RadioElement text : {NavActive, NavStandby, ComActive, ComStandby})
                EXPECT_EQ(Text(text).size(), 6u) << "area " << area;
        }
        Kill();
        ASSERT_EQ(Stored()->bytes.size(), 8u);
    }
}

#if !defined(_WIN32)

using standin::Call;

TEST_F(RadioPower, KeyThatCannotBeCreatedShowsTheBoxAndStillGivesDefaults) {
    standin::FailCall(Call::RegCreateKeyExA);
    Start();
    Cycle();
    auto boxes = standin::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "ORIM Gauge Error");
    EXPECT_EQ(boxes[0].text, "Open Registry Create");
    EXPECT_EQ(boxes[0].type, 0u);
    EXPECT_FALSE(boxes[0].owned);
    EXPECT_EQ(Text(NavStandby), "108.00");
    EXPECT_EQ(Text(ComStandby), "118.00");
    EXPECT_EQ(standin::CallCount(Call::RegCloseKey), 0);  // nothing to close
}

TEST_F(RadioPower, FrequenciesThatCouldNotBeSavedAreKeptForTheNextInitialise) {
    Start();
    Cycle();
    ClickArea(NavStandbyWholeUpArea);  // 109.00
    standin::FailCall(Call::RegOpenKeyExA);
    Kill();
    auto boxes = standin::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Open Registry Write");

    standin::FailCall(Call::RegCreateKeyExA);
    Start();
    Cycle();
    EXPECT_EQ(standin::MessageBoxes().size(), 2u);
    EXPECT_EQ(Text(NavStandby), "109.00");
    Kill();  // now the save works
    EXPECT_EQ(Stored()->bytes, (std::vector<uint8_t>{0x00, 0x09, 0, 0, 0x00, 0x80, 0x11, 0}));
}

TEST_F(RadioPower, ManyKillsAndInitialisesLeaveNothingOpen) {
    for (int i = 0; i < 50; ++i) {
        Start();
        Cycle();
        ClickArea(ComSwapArea);
        Kill();
        EXPECT_EQ(standin::MappedViews(), 1);  // the test's own view only
        EXPECT_EQ(standin::OpenKeys(), 0);
    }
    // One handle to the bus for the radio, kept; one for the test.
    EXPECT_EQ(standin::CallCount(Call::CreateFileMappingA), 1);
    EXPECT_EQ(standin::OpenMappings(), 2);
    EXPECT_EQ(standin::CallCount(Call::MapViewOfFile), 50);
    EXPECT_EQ(standin::CallCount(Call::UnmapViewOfFile), 50);
}

TEST_F(RadioPower, WithoutSharedMemoryTheRadioUsesABlockOfItsOwn) {
    for (Call failing : {Call::CreateFileMappingA, Call::MapViewOfFile}) {
        SCOPED_TRACE(standin::CallName(failing));
        WriteBus(0, 0);  // what another gauge would say, out of the radio's reach
        standin::FailCall(failing, -1);
        standin::ResetCounts();
        Start();
        Cycle();
        EXPECT_TRUE(Hidden(LcdOff));  // powered, as when nobody writes the bus
        EXPECT_EQ(ClickArea(PowerArea), 0);
        EXPECT_FALSE(Hidden(LcdOff));
        ClickArea(PowerArea);
        Kill();
        EXPECT_EQ(standin::CallCount(Call::UnmapViewOfFile), 0);
        standin::ClearFaults();
    }
}

#endif

}  // namespace
