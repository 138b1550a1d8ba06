// Thousands of random steps against each gauge, checking after every step
// that the gauge kept its invariants. STRESS_SEED and STRESS_STEPS replay or
// lengthen a run; a failure prints the seed and the step to replay.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>

#include "gauge_stress.h"
#include "test_support.h"

namespace {

uint64_t Setting(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 0) : fallback;
}

class Stress : public testing::TestWithParam<const char*> {};

TEST_P(Stress, RandomStepsKeepTheInvariants) {
    const uint64_t seed = Setting("STRESS_SEED", 20261211);
    const uint64_t steps = Setting("STRESS_STEPS", 20000);
#if defined(_WIN32)
    const bool faults = false;
#else
    const bool faults = true;
#endif
    GaugeStress stress(ModulePath(GetParam()), faults);
    SeededChooser chooser(seed);
    std::deque<std::string> recent;
    ASSERT_EQ(stress.Check(), "") << "before the first step";
    for (uint64_t step = 1; step <= steps; ++step) {
        recent.push_back(stress.Step(chooser));
        if (recent.size() > 12) recent.pop_front();
        std::string broken = stress.Check();
        if (!broken.empty()) {
            std::string history;
            for (const std::string& line : recent) history += "\n  " + line;
            FAIL() << "seed " << seed << ", step " << step << ": " << broken << "\nlast steps:" << history
                   << "\nreplay with STRESS_SEED=" << seed << " STRESS_STEPS=" << step;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachGauge, Stress,
                         testing::Values("ORIM_TR410", "QAV_MetricOnly_US_450", "QAV_98_200L_Fuel_Quantity"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
