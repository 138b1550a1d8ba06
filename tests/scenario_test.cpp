// The scenario language: what it runs, what it reports, and its errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "canvas.h"
#include "scenario.h"
#include "test_support.h"

using testing::HasSubstr;

namespace {

class Scenarios : public testing::Test {
protected:
    std::string Write(const std::string& text) {
        std::string path = testing::TempDir() + "scenario_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name() + std::to_string(count_++) +
                           ".scn";
        std::ofstream(path) << text;
        return path;
    }
    panel::ScenarioResult Run(const std::string& text) {
        panel::ScenarioOptions options;
        options.module_folder = ModulePath("x").substr(0, ModulePath("x").rfind('/'));
        options.out_folder = testing::TempDir();
        return panel::RunScenario(Write(text), options);
    }
    int count_ = 0;
};

TEST_F(Scenarios, ExpectationsPassOrFailWithTheirLine) {
    auto result = Run(
        "# a comment line\n"
        "load QAV_MetricOnly_US_450\n"
        "set airspeed_knots 100\n"
        "cycle 2\n"
        "expect value AirspeedNeedle 185.2 0.001\n"
        "expect value #2 185.2 0.001   # by place in the tree\n"
        "expect value AirspeedNeedle 100\n"
        "expect shown AirspeedFaceIcon\n"
        "expect hidden AirspeedFaceIcon\n"
        "expect variable airspeed_knots 100\n"
        "expect no events\n"
        "expect event 65707\n");
    EXPECT_EQ(result.checks, 8);
    ASSERT_EQ(result.failures.size(), 3u);
    EXPECT_THAT(result.failures[0], HasSubstr(".scn:7: expected value 100 of AirspeedNeedle, it is 185.2"));
    EXPECT_THAT(result.failures[1], HasSubstr(":9: expected AirspeedFaceIcon hidden, it is shown"));
    EXPECT_THAT(result.failures[2], HasSubstr(":12: expected event 65707"));
}

TEST_F(Scenarios, TextsClicksAndEventsOfTheRadio) {
    auto result = Run(
        "registry clear\n"
        "bus 1 1\n"
        "set token_5 2\n"
        "set com_active 0x1800\n"
        "load ORIM_TR410\n"
        "cycle 2\n"
        "expect text ComActiveText \"118.00\"\n"
        "click area 27\n"
        "expect event 65707 0x1805\n"
        "cycle\n"
        "expect text ComActiveText \"118.05\"\n"
        "clear events\n"
        "click 2 40\n"
        "expect event 65707\n"
        "set token_5 5\n"
        "click area 13\n"
        "expect text MessageText \"SWAP REFUSED\"\n"
        "snapshot radio_scenario_test\n");
    EXPECT_TRUE(result.failures.empty()) << testing::PrintToString(result.failures);
    EXPECT_EQ(result.checks, 5);
    ASSERT_EQ(result.snapshots.size(), 1u);
    EXPECT_EQ(panel::ReadPng(result.snapshots[0]).width, 501);
}

TEST_F(Scenarios, ALineThatCannotRunStopsTheScenarioNamingIt) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"load QAV_MetricOnly_US_450\nfly away\n", ":2: unknown command 'fly'"},
        {"set speed 3\n", ":1: unknown variable 'speed'"},
        {"set airspeed_knots fast\n", ":1: 'fast' is not a number"},
        {"cycle\n", ":1: no module loaded yet"},
        {"load QAV_MetricOnly_US_450\nexpect text Nothing \"x\"\n", ":2: the gauge has no element 'Nothing'"},
        {"load QAV_MetricOnly_US_450\nclick area 1\n", ":2: the gauge has no mouse area 1"},
        {"load QAV_MetricOnly_US_450\nexpect text #0 \"open\n", ":2: a quoted text has no closing quote"},
        {"load no_such_module\n", ":1: cannot load module"},
        {"load QAV_MetricOnly_US_450\ncycle 1 2\n", ":2: wrong number of words for 'cycle'"},
        {"load QAV_MetricOnly_US_450\nclick 3 4 primary\n", ":2: the last word of a click may only be 'secondary'"},
        {"registry set 1\n", ":1: use 'registry clear' or 'registry set NAV COM'"},
    };
    for (const Case& c : cases) {
        try {
            Run(c.text);
            ADD_FAILURE() << "ran: " << c.text;
        } catch (const std::runtime_error& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.text;
        }
    }
}

TEST_F(Scenarios, SnapshotsAreComparedWithTheirGoldenPictures) {
    std::string golden = testing::TempDir() + "golden_" + std::to_string(getpid());
    std::filesystem::create_directories(golden);
    panel::Canvas wrong(150, 150);
    panel::WritePng(wrong, golden + "/golden_probe.png");
    panel::ScenarioOptions options;
    options.module_folder = ModulePath("x").substr(0, ModulePath("x").rfind('/'));
    options.out_folder = testing::TempDir();
    options.golden_folder = golden;
    std::string path = Write("load QAV_MetricOnly_US_450\ncycle\nsnapshot golden_probe\n");
    auto result = panel::RunScenario(path, options);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_THAT(result.failures[0], HasSubstr(":3: snapshot golden_probe differs from"));

    options.update_golden = true;
    panel::RunScenario(path, options);
    options.update_golden = false;
    EXPECT_TRUE(panel::RunScenario(path, options).failures.empty());
}

TEST(PictureDifference, CountsPixelsBeyondTheTolerance) {
    panel::Canvas a(10, 10), b(10, 10);
    EXPECT_EQ(panel::PictureDifference(a, b), 0.0);
    b.Set(1, 1, {24, 0, 0});
    EXPECT_EQ(panel::PictureDifference(a, b), 0.0);
    b.Set(2, 2, {0, 0, 25});
    EXPECT_DOUBLE_EQ(panel::PictureDifference(a, b), 0.01);
    EXPECT_EQ(panel::PictureDifference(a, panel::Canvas(10, 11)), 1.0);
}

}  // namespace
