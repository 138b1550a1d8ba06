// The live viewer's web interface on its own: clicks, variables, events,
// reloads, and the errors of a bad request.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>

#include "test_support.h"
#include "viewer.h"

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

// A module file of the test's own, with its bitmaps beside it, so that the
// test can "rebuild" it by copying another module over it.
class ViewerApi : public testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(testing::TempDir()) / ("viewer_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        Place("QAV_MetricOnly_US_450", "gauge");
    }
    void TearDown() override {
        viewer.reset();
        fs::remove_all(folder);
    }
    // Copies a built module (and its bitmaps) to folder/NAME.so.
    void Place(const std::string& module, const std::string& name) {
        fs::path built = fs::path(GAUGE_MODULE_DIR);
        fs::copy_file(built / (module + ".so"), folder / (name + ".so"), fs::copy_options::overwrite_existing);
        fs::remove_all(folder / name);
        fs::copy(built / module, folder / name);
        // A rebuild always gives the file a new time.
        fs::last_write_time(folder / (name + ".so"), fs::last_write_time(folder / (name + ".so")) + std::chrono::seconds(1));
    }
    void Open(std::vector<std::string> modules) {
        viewer = std::make_unique<panel::Viewer>(modules);
        port = viewer->Start(0);
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
    }
    httplib::Result Post(const std::string& path, const httplib::Params& params) { return client->Post(path, params); }
    std::string State() { return client->Get("/api/state")->body; }

    fs::path folder;
    std::unique_ptr<panel::Viewer> viewer;
    std::unique_ptr<httplib::Client> client;
    int port = 0;
};

TEST_F(ViewerApi, ClicksVariablesAndEvents) {
    Open({(folder / "gauge.so").string(), ModulePath("ORIM_TR410")});
    EXPECT_EQ(Post("/api/set", {{"name", "com_active"}, {"value", "0x1802"}})->status, 200);
    auto clicked = Post("/api/click", {{"gauge", "1"}, {"x", "14"}, {"y", "45"}});  // the COM swap button
    ASSERT_EQ(clicked->status, 200);
    EXPECT_EQ(clicked->body, "{\"handled\":true,\"result\":1}");
    std::string state = State();
    EXPECT_THAT(state, HasSubstr("{\"event\":65707,\"label\":\"SetComActive\",\"value\":71680,"));
    EXPECT_THAT(state, HasSubstr("\"changed\":\"com_active=71680\""));  // 0x11800, the default standby
    EXPECT_THAT(client->Get("/api/cursor?gauge=1&x=14&y=45")->body, HasSubstr("\"cursor\":5"));
    EXPECT_EQ(Post("/api/click", {{"gauge", "0"}, {"x", "75"}, {"y", "75"}})->body, "{\"handled\":false}");

    EXPECT_EQ(Post("/api/set", {{"name", "airspeed_knots"}, {"value", "100"}})->status, 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a few cycles
    auto png = client->Get("/api/gauge.png?gauge=0");
    ASSERT_EQ(png->status, 200);
    EXPECT_EQ(png->body.substr(1, 3), "PNG");
    EXPECT_THAT(client->Get("/")->body, HasSubstr("<title>panelhost view</title>"));
}

TEST_F(ViewerApi, BadRequestsAreRefusedAndLeaveTheGaugeRunning) {
    Open({(folder / "gauge.so").string()});
    Post("/api/set", {{"name", "airspeed_knots"}, {"value", "120"}});
    struct Case {
        std::string path;
        httplib::Params params;
        std::string error;
    };
    const Case cases[] = {
        {"/api/set", {{"name", "speed"}, {"value", "3"}}, "unknown variable 'speed'"},
        {"/api/set", {{"name", "airspeed_knots"}, {"value", "fast"}}, "bad value for airspeed_knots"},
        {"/api/click", {{"gauge", "0"}, {"x", "150"}, {"y", "10"}}, "the click lies outside the gauge"},
        {"/api/click", {{"gauge", "0"}, {"x", "-1"}, {"y", "10"}}, "the click lies outside the gauge"},
        {"/api/click", {{"gauge", "3"}, {"x", "1"}, {"y", "1"}}, "no gauge '3'"},
        {"/api/click", {{"gauge", "0"}, {"x", "1"}, {"y", "1"}, {"button", "middle"}}, "no button 'middle'"},
        {"/api/start", {{"gauge", "0"}}, "the gauge is running"},
        {"/api/bus", {{"c1", "1"}}, "the bus needs c1 and c2"},
    };
    for (const Case& c : cases) {
        auto result = Post(c.path, c.params);
        EXPECT_EQ(result->status, 400) << c.path;
        EXPECT_THAT(result->body, HasSubstr(c.error)) << c.path;
    }
    std::string after = State();
    EXPECT_THAT(after, HasSubstr("\"state\":\"running\""));
    EXPECT_THAT(after, HasSubstr("{\"name\":\"airspeed_knots\",\"token\":61,\"value\":120}"));
    EXPECT_EQ(Post("/api/kill", {{"gauge", "0"}})->status, 200);
    EXPECT_THAT(State(), HasSubstr("\"state\":\"killed\""));
    EXPECT_EQ(Post("/api/start", {{"gauge", "0"}})->status, 200);
}

TEST_F(ViewerApi, AChangedModuleIsLoadedAgainAndABrokenOneLeavesTheOldRunning) {
    Open({(folder / "gauge.so").string()});
    Post("/api/set", {{"name", "fuel_quantity_1"}, {"value", "4817467"}});
    EXPECT_THAT(State(), HasSubstr("\"name\":\"QAV_Airspeed_US_450\""));

    Place("QAV_98_200L_Fuel_Quantity", "gauge");
    viewer->CheckForRebuilds();
    std::string state = State();
    EXPECT_THAT(state, HasSubstr("\"name\":\"QAV_98_200L_Fuel_Quantity\""));
    EXPECT_THAT(state, HasSubstr("\"loads\":2"));
    EXPECT_THAT(state, HasSubstr("reloaded gauge.so"));
    // The variables carried over: the new needle reads the set quantity.
    EXPECT_THAT(state, HasSubstr("{\"name\":\"fuel_quantity_1\",\"token\":297,\"value\":4817467}"));

    std::ofstream(folder / "gauge.so", std::ios::trunc) << "not a module";
    viewer->CheckForRebuilds();
    state = State();
    EXPECT_THAT(state, HasSubstr("could not load the new gauge.so, the old one runs on"));
    EXPECT_THAT(state, HasSubstr("\"name\":\"QAV_98_200L_Fuel_Quantity\""));
    EXPECT_THAT(state, HasSubstr("\"state\":\"running\""));
    EXPECT_EQ(client->Get("/api/gauge.png?gauge=0")->status, 200);
}

}  // namespace
