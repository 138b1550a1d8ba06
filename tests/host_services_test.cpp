// Clicks, key events, variables and the table's unused slots.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "element_tree.h"
#include "test_support.h"

using panel::Gauge;
using panel::MouseButton;
using panel::PanelHost;
using testing::ElementsAre;

namespace {

class ProbeGauge : public testing::Test {
protected:
    void SetUp() override {
        gauge = &host.Load(ModulePath("probe_gauge"));
        gauge->Start();
        host.ClearLogs();
    }
    PanelHost host;
    Gauge* gauge = nullptr;
};

TEST_F(ProbeGauge, ClickReachesTheFirstAreaThatHoldsThePointAndTakesTheButton) {
    struct Case {
        int x, y;
        MouseButton button;
        std::optional<int32_t> result;
        std::vector<panel::KeyEvent> events;
    };
    const Case cases[] = {
        {10, 10, MouseButton::Primary, 1, {{4001, MousePrimaryClick}}},
        {0, 0, MouseButton::Primary, 1, {{4001, MousePrimaryClick}}},
        {49, 49, MouseButton::Primary, 1, {{4001, MousePrimaryClick}}},
        // A primary-only area takes no secondary click.
        {10, 10, MouseButton::Secondary, std::nullopt, {}},
        {50, 0, MouseButton::Primary, 0, {{4002, MousePrimaryClick}}},
        {99, 49, MouseButton::Secondary, 0, {{4002, MouseSecondaryClick}}},
        {100, 10, MouseButton::Primary, std::nullopt, {}},
        {10, 50, MouseButton::Primary, std::nullopt, {}},
        {-1, 10, MouseButton::Primary, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        host.ClearLogs();
        EXPECT_EQ(gauge->Click(c.x, c.y, c.button), c.result) << c.x << "," << c.y;
        ASSERT_EQ(host.events().size(), c.events.size()) << c.x << "," << c.y;
        for (size_t i = 0; i < c.events.size(); ++i) {
            EXPECT_EQ(host.events()[i].event, c.events[i].event);
            EXPECT_EQ(host.events()[i].value, c.events[i].value);
        }
    }
}

TEST_F(ProbeGauge, NoHandlerIsCalledAfterEndMouseList) {
    gauge->Kill();
    host.ClearLogs();
    EXPECT_FALSE(gauge->Click(10, 10, MouseButton::Primary).has_value());
    EXPECT_TRUE(host.events().empty());
}

TEST_F(ProbeGauge, ElementVariablesAreCurrentBeforeTheirCallbacks) {
    host.variables().Set(0x3D, 60.25);
    host.variables().Set(0x28, -40);
    gauge->Cycle();
    auto elements = panel::ElementsInOrder(gauge->root());
    EXPECT_EQ(gauge->ElementValue(elements[1]), 120.5);
    EXPECT_EQ(gauge->ElementValue(elements[3]), -40.0);
    host.variables().Set(0x3D, 1.0);
    gauge->Cycle();
    EXPECT_EQ(gauge->ElementValue(elements[1]), 2.0);
}

TEST_F(ProbeGauge, IntegerVariablesFillTheFirstFourBytes) {
    auto* text = panel::As<StringElement>(panel::ElementsInOrder(gauge->root())[4]);
    host.variables().Set(0x2E, 0x88);
    host.variables().Set(0x2D, 123.75);
    gauge->Cycle();
    EXPECT_EQ(text->sources[2].value.integer, 0x88);
    EXPECT_EQ(std::memcmp(text->sources[2].value.bytes + 4, "\0\0\0\0", 4), 0);
    EXPECT_EQ(text->sources[0].value.number, 123.75);
}

TEST(Variables, FreeStandingRecordsAreServedByInitialiseAndRefresh) {
    PanelHost host;
    host.variables().Set(0x17, 0x1802);
    host.variables().Set(0x3D, 99.5);
    ModuleVar frequency = {.token = 0x17};
    ModuleVar speed = {.token = 0x3D};
    host.InitialiseVariable(&frequency);
    host.RefreshVariable(&speed);  // never initialised: still served
    EXPECT_EQ(frequency.value.integer, 0x1802);
    EXPECT_EQ(speed.value.number, 99.5);
    host.variables().Set(0x17, 0x3697);
    host.RefreshVariable(&frequency);
    EXPECT_EQ(frequency.value.integer, 0x3697);
}

TEST(KeyEvents, EveryEventIsLoggedAndTheKnownOnesActOnTheHostVariables) {
    struct Case {
        uint32_t event;
        uint32_t value;
        uint32_t token;
        double before;
        double after;
    };
    const Case cases[] = {
        {65707, 0x1802, 0x17, 0x3697, 0x1802},
        {65708, 0x1795, 0x18, 0x0800, 0x1795},
        {65636, 0, 0x17, 0x1802, 0x3602},  // 118 down wraps to 136
        {65637, 0, 0x17, 0x3697, 0x1897},  // 136 up wraps to 118
        {65638, 0, 0x17, 0x1800, 0x1895},  // fraction wraps within the MHz
        {65639, 0, 0x17, 0x1895, 0x1800},
        {65640, 0, 0x18, 0x0850, 0x1750},
        {65641, 0, 0x18, 0x1750, 0x0850},
        {65642, 0, 0x18, 0x1005, 0x1000},
        {65643, 0, 0x18, 0x1005, 0x1010},
        {65662, 0, 0x2D, 0, 359},
        {65663, 0, 0x2D, 359, 0},
        {65663, 0, 0x2D, 90.7, 91},
        // A course that is no angle starts again at 0.
        {65662, 0, 0x2D, std::numeric_limits<double>::infinity(), 359},
        {65663, 0, 0x2D, std::numeric_limits<double>::quiet_NaN(), 1},
        {65663, 0, 0x2D, -725, 356},
        {65842, 0, 0x2D, 45, 45},
    };
    for (const Case& c : cases) {
        PanelHost host;
        host.variables().Set(c.token, c.before);
        host.SendKeyEvent(c.event, c.value);
        EXPECT_EQ(host.variables().Get(c.token), c.after) << panel::EventLabel(c.event);
        ASSERT_EQ(host.events().size(), 1u);
        EXPECT_EQ(host.events()[0].event, c.event);
        EXPECT_EQ(host.events()[0].value, c.value);
    }
}

#if GTEST_HAS_DEATH_TEST
TEST(ServicesTable, AnUnprovidedSlotFailsLoudlyNamingItsNumber) {
    PanelHost host;
    using Service = void(GAUGE_STDCALL*)();
    Service slot35;
    std::memcpy(&slot35, reinterpret_cast<char*>(host.services()) + 35 * 4, sizeof slot35);
    EXPECT_DEATH(slot35(), "panel service slot 35");
}
#endif

}  // namespace
