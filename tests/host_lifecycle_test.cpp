// The standard gauge routines as the host sees them: which services they
// call, with what, in which order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "element_tree.h"
#include "test_support.h"

using panel::Gauge;
using panel::PanelHost;
using testing::ElementsAre;

namespace {

uintptr_t Address(const void* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

const panel::ServiceCall& Call(const PanelHost& host, const std::string& service) {
    int index = FirstCall(host, service);
    if (index < 0) throw std::runtime_error(service + " was never called");
    return host.calls()[static_cast<size_t>(index)];
}

TEST(Lifecycle, ServicesTableIsInPlaceBeforeAnyRoutine) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    EXPECT_EQ(gauge.library().import_table().services, host.services());
    EXPECT_TRUE(host.calls().empty());
    EXPECT_EQ(gauge.library().linkage().tag, 19u);
    EXPECT_EQ(gauge.library().import_table().entry_id, 15u);
    EXPECT_EQ(gauge.header().version, 610u);
}

TEST(Lifecycle, QueryReturnsExactlyWhatQueryElementsReturned) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    uint32_t result = gauge.Query();
    const auto& call = Call(host, "QueryElements");
    EXPECT_EQ(call.args[0], Address(gauge.root()));
    EXPECT_EQ(result, call.args[1]);
    EXPECT_EQ(result, 5u);  // the probe's five elements
}

TEST(Lifecycle, InstallHandsTheMouseListTheImageRecordPlusFour) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    auto* root = panel::As<StaticImageElement>(gauge.root());
    ASSERT_EQ(root->host_image, nullptr);

    gauge.Install(77);
    ASSERT_NE(root->host_image, nullptr);
    EXPECT_THAT(ServiceNames(host), ElementsAre("InstallElements", "SetUpMouseList", "StartMouseList"));
    EXPECT_EQ(Call(host, "InstallElements").args[1], 77u);
    const auto& setup = Call(host, "SetUpMouseList");
    EXPECT_EQ(setup.args[0], Address(gauge.mouse_list()));
    EXPECT_EQ(setup.args[1], Address(&gauge.header()));
    // Read after InstallElements set it: a read before would give 0 + 4.
    EXPECT_EQ(setup.args[2], Address(root->host_image) + 4);
    EXPECT_TRUE(gauge.mouse_active());
}

TEST(Lifecycle, GaugeWithoutAreasStillMakesTheThreeMouseListCalls) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("bare_gauge"));
    gauge.Start();
    gauge.Cycle();
    gauge.Kill();
    auto names = ServiceNames(host);
    EXPECT_EQ(std::count(names.begin(), names.end(), "SetUpMouseList"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "StartMouseList"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "EndMouseList"), 1);
    EXPECT_LT(FirstCall(host, "EndMouseList"), FirstCall(host, "KillElements"));
}

TEST(Lifecycle, KillRunsTheGaugeWorkThenEndsTheMouseListThenKillsElements) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    gauge.Start();
    host.ClearLogs();
    gauge.Kill();
    EXPECT_THAT(ServiceNames(host), ElementsAre("SendKeyEvent", "EndMouseList", "KillElements"));
    EXPECT_THAT(EventNumbers(host), ElementsAre(2003u));
    EXPECT_FALSE(gauge.mouse_active());
}

TEST(Lifecycle, InitialiseAndUpdateRunTheStandardCallFirst) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    gauge.Install();
    host.ClearLogs();
    gauge.Initialise();
    EXPECT_THAT(ServiceNames(host), ElementsAre("InitialiseElements", "SendKeyEvent"));
    EXPECT_THAT(EventNumbers(host), ElementsAre(2001u));
}

TEST(Lifecycle, CycleRunsUpdateThenCallbacksInDrawingOrderThenGenerateAndDraw) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    gauge.Start();
    host.ClearLogs();
    gauge.Cycle();
    // Root, needle, icon, then the icon's child the bar, then the text with
    // slots 0 and 2 and its text callback.
    EXPECT_THAT(EventNumbers(host), ElementsAre(2002u, 3001u, 3005u, 3002u, 3003u, 3004u));
    auto names = ServiceNames(host);
    EXPECT_EQ(names.front(), "UpdateElements");
    EXPECT_THAT(std::vector<std::string>(names.end() - 2, names.end()),
                ElementsAre("GenerateElements", "DrawElements"));
}

TEST(Lifecycle, TextBuffersStartEmptyStayPutAndAreReleasedAtKill) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    auto elements = panel::ElementsInOrder(gauge.root());
    auto* text = panel::As<StringElement>(elements[4]);
    ASSERT_EQ(text->header.kind, StringKind);
    EXPECT_EQ(text->text, nullptr);

    gauge.Start();
    char* buffer = text->text;
    ASSERT_NE(buffer, nullptr);
    for (uint32_t i = 0; i <= text->max_chars; ++i) EXPECT_EQ(buffer[i], '\0');

    host.variables().Set(0x2E, 12);
    gauge.Cycle();
    EXPECT_EQ(text->text, buffer);
    EXPECT_EQ(gauge.Text(elements[4]), "12");

    gauge.Kill();
    EXPECT_EQ(text->text, nullptr);
    EXPECT_EQ(panel::As<StaticImageElement>(gauge.root())->host_image, nullptr);
}

TEST(Lifecycle, KillThenStartAgainRunsAsBefore) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    gauge.Start();
    gauge.Cycle();
    gauge.Kill();
    EXPECT_FALSE(gauge.Click(10, 10, panel::MouseButton::Primary).has_value());

    host.variables().Set(0x3D, 21.5);
    gauge.Start();
    gauge.Cycle();
    auto elements = panel::ElementsInOrder(gauge.root());
    EXPECT_EQ(gauge.ElementValue(elements[1]), 43.0);
    EXPECT_EQ(gauge.Click(10, 10, panel::MouseButton::Primary), 1);
}

TEST(Lifecycle, RoutinesOutOfOrderAreRefusedByTheHost) {
    PanelHost host;
    Gauge& gauge = host.Load(ModulePath("probe_gauge"));
    EXPECT_THROW(gauge.Cycle(), std::logic_error);
    EXPECT_THROW(gauge.Initialise(), std::logic_error);
    EXPECT_THROW(gauge.Kill(), std::logic_error);
    gauge.Install();
    EXPECT_THROW(gauge.Install(), std::logic_error);
    EXPECT_THROW(gauge.Cycle(), std::logic_error);
    EXPECT_THROW(gauge.Kill(), std::logic_error);  // kill follows initialise
}

TEST(Loading, AModuleHoldsOneGaugeAndLoadsOnceAtATime) {
    PanelHost host;
    Gauge& first = host.Load(ModulePath("probe_gauge"));
    first.Start();
    PanelHost other;
    EXPECT_THROW(other.Load(ModulePath("probe_gauge")), panel::LoadError);
    EXPECT_THROW(host.Load(ModulePath("probe_gauge")), panel::LoadError);
    first.Cycle();  // the running gauge is untouched
    host.Unload(first);
    EXPECT_NO_THROW(other.Load(ModulePath("probe_gauge")).Start());
}

TEST(Loading, ErrorsNameTheFileAndTheReason) {
    PanelHost host;
    struct Case {
        std::string path;
        std::string expected;
    };
    for (const Case& c : {Case{ModulePath("no_such_module"), "cannot load module"},
                          Case{LibraryPath("not_a_gauge"), "does not export Linkage"}}) {
        try {
            host.Load(c.path);
            ADD_FAILURE() << c.path << " loaded";
        } catch (const panel::LoadError& error) {
            EXPECT_THAT(error.what(), testing::HasSubstr(c.expected));
            EXPECT_THAT(error.what(), testing::HasSubstr(c.path));
        }
    }
    EXPECT_TRUE(host.gauges().empty());
}

}  // namespace
