// The airspeed and fuel gauges, run through the host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "element_tree.h"
#include "test_support.h"

using panel::As;
using panel::Gauge;
using panel::PanelHost;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

class RunningGauge {
public:
    explicit RunningGauge(const std::string& module) : gauge(host.Load(ModulePath(module))) {
        gauge.Start();
        elements = panel::ElementsInOrder(gauge.root());
    }
    double NeedleAfterCycle() {
        gauge.Cycle();
        return *gauge.ElementValue(elements[2]);
    }
    PanelHost host;
    Gauge& gauge;
    std::vector<ElementHeader*> elements;
};

// ---------------------------------------------------------------------------
// Callbacks

TEST(Airspeed, NeedleShowsKnotsAsKmhWithinTheDial) {
    RunningGauge airspeed("QAV_MetricOnly_US_450");
    struct Case {
        double knots;
        double low, high;  // the value must lie in [low, high]
    };
    const Case cases[] = {
        {0, 0.0, 0.0},
        {100, 185.2 - 1e-12, 185.2 + 1e-12},
        {242.98, 449.99, std::nextafter(450.0, 0.0)},
        {243, 450.0, 450.0},
        {1000, 450.0, 450.0},
        {Inf, 450.0, 450.0},
        {-0.001, 0.0, 0.0},
        {-50, 0.0, 0.0},
        {-Inf, 0.0, 0.0},
        {NaN, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        airspeed.host.variables().Set(0x3D, c.knots);
        double value = airspeed.NeedleAfterCycle();
        EXPECT_GE(value, c.low) << c.knots << " knots";
        EXPECT_LE(value, c.high) << c.knots << " knots";
    }
}

TEST(Airspeed, FaceAlwaysShowsItsFirstPicture) {
    RunningGauge airspeed("QAV_MetricOnly_US_450");
    for (double units : {0.0, 1.0, 2.0, -1.0, NaN}) {
        airspeed.host.variables().Set(0x14F, units);
        airspeed.gauge.Cycle();
        EXPECT_EQ(airspeed.gauge.ElementValue(airspeed.elements[1]), 0.0) << units;
    }
}

TEST(Fuel, NeedleShowsTheSumAsAFractionOfTheFullScale) {
    RunningGauge fuel("QAV_98_200L_Fuel_Quantity");
    struct Case {
        double first, second;
        double low, high;
    };
    const Case cases[] = {
        {0, 0, 0.0, 0.0},
        {4817466, 0, 0.5 - 1e-6, 0.5 + 1e-6},
        {2000000, 2817466, 0.5 - 1e-6, 0.5 + 1e-6},
        {9634932, 0, 0.9999999, std::nextafter(1.0, 0.0)},
        {4817466, 4817467, 1.0, 1.0},  // 9,634,933
        {9634933, 0, 1.0, 1.0},
        {1e300, 0, 1.0, 1.0},
        {-1000000, 0, -0.103790 - 1e-6, -0.103790 + 1e-6},  // no lower limit
        {0, -Inf, -Inf, -Inf},
        // Not a number is mended to the empty mark.
        {NaN, 0, 0.0, 0.0},
        {0, NaN, 0.0, 0.0},
        {Inf, -Inf, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        fuel.host.variables().Set(0x129, c.first);
        fuel.host.variables().Set(0x123, c.second);
        double value = fuel.NeedleAfterCycle();
        EXPECT_GE(value, c.low) << c.first << " + " << c.second;
        EXPECT_LE(value, c.high) << c.first << " + " << c.second;
    }
}

TEST(Fuel, SecondQuantityIsRefreshedOnEveryCall) {
    RunningGauge fuel("QAV_98_200L_Fuel_Quantity");
    fuel.host.variables().Set(0x129, 1000000);
    double before = fuel.NeedleAfterCycle();

    fuel.host.ClearLogs();
    fuel.host.variables().Set(0x123, 3000000);
    double after = fuel.NeedleAfterCycle();
    EXPECT_NEAR(after - before, 3000000 * 1.03789e-7, 1e-12);

    int refreshes = 0;
    for (const auto& call : fuel.host.calls()) {
        if (call.service != "RefreshVariable") continue;
        ++refreshes;
        EXPECT_EQ(call.args[1], 0x123u);
    }
    EXPECT_EQ(refreshes, 1);
}

// ---------------------------------------------------------------------------
// Records

struct ExpectedElement {
    uint32_t kind;
    uint32_t image_id;
    PixelPoint position;
    PixelPoint offset;
    uint32_t image_flags;
    uint32_t token;
    std::vector<FailureRecord> failures;
};

struct ExpectedGauge {
    const char* module;
    const char* name;
    std::vector<ExpectedElement> chain;
    PixelPoint tip_point;
    std::vector<NonlinearityEntry> scale;
    uint32_t image_count;
};

bool AllZero(const void* bytes, size_t size) {
    auto* p = static_cast<const uint8_t*>(bytes);
    return std::all_of(p, p + size, [](uint8_t b) { return b == 0; });
}

void CheckGauge(const ExpectedGauge& expected) {
    SCOPED_TRACE(expected.module);
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath(expected.module));
    LinkageRecord& linkage = gauge.library().linkage();
    EXPECT_EQ(linkage.tag, 19u);
    EXPECT_NE(linkage.module_init, nullptr);
    EXPECT_EQ(linkage.module_init, linkage.module_deinit);
    EXPECT_TRUE(AllZero(&linkage.reserved1, 12));
    EXPECT_EQ(linkage.end, 0u);
    ImportTableRecord& imports = gauge.library().import_table();
    EXPECT_EQ(imports.entry_id, 15u);
    EXPECT_EQ(imports.end_id, 0u);
    EXPECT_EQ(imports.end_pointer, 0u);

    GaugeHeader& header = gauge.header();
    EXPECT_STREQ(header.name, expected.name);
    EXPECT_EQ(header.version, 610u);
    EXPECT_EQ(header.gauge_size, 100u);
    EXPECT_EQ(header.reserved, 0u);
    EXPECT_TRUE(AllZero(header.tail, sizeof header.tail));
    ASSERT_NE(header.elements[0], nullptr);
    EXPECT_EQ(header.elements[1], nullptr);

    // A chain: each element has exactly one child, the last none.
    ElementHeader* element = header.elements[0];
    for (size_t i = 0; i < expected.chain.size(); ++i) {
        const ExpectedElement& e = expected.chain[i];
        SCOPED_TRACE("element " + std::to_string(i));
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->kind, e.kind);
        EXPECT_EQ(element->image_id, e.image_id);
        EXPECT_EQ(element->position.x, e.position.x);
        EXPECT_EQ(element->position.y, e.position.y);
        EXPECT_EQ(element->offset.x, e.offset.x);
        EXPECT_EQ(element->offset.y, e.offset.y);
        EXPECT_EQ(element->gauge, &header);
        EXPECT_EQ(element->image_flags, e.image_flags);
        EXPECT_EQ(element->instrumentation_flags, 0u);
        EXPECT_EQ(element->reserved, 0u);
        EXPECT_EQ(element->previous_element, nullptr);
        EXPECT_TRUE(AllZero(&element->previous_position, sizeof element->previous_position));
        if (e.failures.empty()) {
            EXPECT_EQ(element->failures, nullptr);
        } else {
            ASSERT_NE(element->failures, nullptr);
            for (size_t f = 0; f <= e.failures.size(); ++f) {
                FailureRecord want = f < e.failures.size() ? e.failures[f] : FailureRecord{};
                EXPECT_EQ(element->failures[f].failure, want.failure);
                EXPECT_EQ(element->failures[f].action, want.action);
                EXPECT_EQ(element->failures[f].reserved, 0u);
            }
        }
        auto vars = panel::ElementVariables(element);
        if (e.kind == StaticImageKind) {
            EXPECT_EQ(As<StaticImageElement>(element)->host_image, nullptr);
        } else {
            ASSERT_EQ(vars.size(), 1u);
            EXPECT_EQ(vars[0]->token, e.token);
            EXPECT_TRUE(AllZero(&vars[0]->value_ptr, sizeof(ModuleVar) - 4));
        }
        bool last = i + 1 == expected.chain.size();
        if (last) {
            EXPECT_EQ(element->children, nullptr);
            element = nullptr;
        } else {
            ASSERT_NE(element->children, nullptr);
            EXPECT_EQ(element->children[1], nullptr);
            element = element->children[0];
        }
    }

    auto* icon = As<IconElement>(header.elements[0]->children[0]);
    EXPECT_EQ(icon->image_count, expected.image_count);
    EXPECT_TRUE(AllZero(icon->host_reserved1, sizeof icon->host_reserved1));
    EXPECT_TRUE(AllZero(icon->host_reserved2, sizeof icon->host_reserved2));

    auto* needle = As<NeedleElement>(icon->header.children[0]);
    EXPECT_NE(needle->callback, nullptr);
    EXPECT_EQ(needle->tip_point.x, expected.tip_point.x);
    EXPECT_EQ(needle->tip_point.y, expected.tip_point.y);
    EXPECT_TRUE(AllZero(needle->host_reserved1, sizeof needle->host_reserved1));
    EXPECT_TRUE(AllZero(needle->host_reserved2, sizeof needle->host_reserved2));
    ASSERT_EQ(needle->scale_count, expected.scale.size());
    for (size_t i = 0; i < expected.scale.size(); ++i) {
        EXPECT_EQ(needle->scale[i].x, expected.scale[i].x) << i;
        EXPECT_EQ(needle->scale[i].y, expected.scale[i].y) << i;
        EXPECT_EQ(needle->scale[i].value, expected.scale[i].value) << i;  // the exact double
        EXPECT_TRUE(AllZero(needle->scale[i].host_reserved, 8)) << i;
    }

    // The mouse list: group start, group end, end of list, and no area.
    gauge.Start();
    MouseRect* list = gauge.mouse_list();
    ASSERT_NE(list, nullptr);
    const uint32_t kinds[] = {MouseGroupStart, MouseGroupEnd, MouseListEnd};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i].kind, kinds[i]);
        EXPECT_EQ(list[i].cursor, -1);
        EXPECT_TRUE(AllZero(&list[i].box_x, 16));
        EXPECT_TRUE(AllZero(&list[i].reserved1, sizeof(MouseRect) - 24));
    }
    for (int y = -5; y < 155; y += 3)
        for (int x = -5; x < 155; x += 3) {
            EXPECT_FALSE(gauge.Click(x, y, panel::MouseButton::Primary));
            EXPECT_FALSE(gauge.Click(x, y, panel::MouseButton::Secondary));
        }
}

TEST(Records, Airspeed) {
    CheckGauge({
        .module = "QAV_MetricOnly_US_450",
        .name = "QAV_Airspeed_US_450",
        .chain = {{StaticImageKind, 0x1000, {0, 0}, {0, 0}, 0x3, 0, {}},
                  {IconKind, 0x1100, {0, 0}, {0, 0}, 0x4003, 0x14F, {}},
                  {NeedleKind, 0x1200, {75, 75}, {27, 5}, 0x4003, 0x3D, {{6, 1, 0}}}},
        .tip_point = {59, 5},
        .scale = {{75, 11, 0.0, {}},    {82, 12, 50.0, {}},   {90, 13, 70.0, {}},   {99, 17, 90.0, {}},
                  {111, 23, 110.0, {}}, {123, 33, 130.0, {}}, {133, 49, 150.0, {}}, {138, 69, 170.0, {}},
                  {133, 100, 200.0, {}}, {97, 134, 250.0, {}}, {47, 131, 300.0, {}}, {15, 94, 350.0, {}},
                  {20, 44, 400.0, {}},  {59, 13, 450.0, {}}},
        .image_count = 2,
    });
}

TEST(Records, Fuel) {
    CheckGauge({
        .module = "QAV_98_200L_Fuel_Quantity",
        .name = "QAV_98_200L_Fuel_Quantity",
        .chain = {{StaticImageKind, 0x1000, {0, 0}, {0, 0}, 0x3, 0, {}},
                  {IconKind, 0x1200, {0, 0}, {0, 0}, 0x4003, 0, {}},
                  {NeedleKind, 0x1400, {75, 91}, {0, 2}, 0x4003, 0x129, {{1, 2, 0}}}},
        .tip_point = {50, 2},
        .scale = {{17, 91, 0.0, {}}, {28, 57, 0.1, {}}, {48, 40, 0.2, {}}, {69, 33, 0.3, {}},
                  {88, 35, 0.4, {}}, {114, 49, 0.6, {}}, {129, 70, 0.8, {}}, {133, 91, 1.0, {}}},
        .image_count = 1,
    });
}

TEST(Records, FuelFaceHasNoCallback) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("QAV_98_200L_Fuel_Quantity"));
    auto* icon = As<IconElement>(panel::ElementsInOrder(gauge.root())[1]);
    EXPECT_EQ(icon->callback, nullptr);
    gauge.Start();
    gauge.Cycle();
    EXPECT_FALSE(gauge.ElementValue(&icon->header).has_value());
}

}  // namespace
