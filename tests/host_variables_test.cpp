// Token names and forms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "variables.h"

namespace {

TEST(Tokens, NamesAndNumbersParse) {
    struct Case {
        const char* text;
        std::optional<uint32_t> token;
    };
    const Case cases[] = {
        {"airspeed_knots", 0x3D}, {"com_active", 0x17}, {"fuel_quantity_1", 0x129},
        {"0x14F", 0x14F},         {"61", 61},           {"", std::nullopt},
        {"airspeed", std::nullopt}, {"-3", std::nullopt}, {"0x1z", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(panel::ParseToken(c.text), c.token) << c.text;
    EXPECT_EQ(panel::TokenLabel(0x3D), "airspeed_knots");
    EXPECT_EQ(panel::TokenLabel(0x999), "0x999");
}

TEST(Tokens, IntegerVariablesTruncateAndSaturate) {
    panel::VariableStore store;
    struct Case {
        double set;
        int32_t integer;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {{7.9, 7}, {-7.9, -7}, {1e300, 2147483647}, {-1e300, -2147483647 - 1}, {nan, 0}};
    for (const Case& c : cases) {
        store.Set(0x2E, c.set);
        EXPECT_EQ(store.GetInteger(0x2E), c.integer) << c.set;
    }
    store.Set(0x3D, 7.9);  // a double variable keeps its fraction
    EXPECT_EQ(store.Get(0x3D), 7.9);
}

}  // namespace
