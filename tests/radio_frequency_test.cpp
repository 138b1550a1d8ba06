// The radio's frequency forms and conversions.
#include <gtest/gtest.h>

#include <cstring>

#include "frequency.h"

namespace {

TEST(FormatFrequency, WritesSevenBytesFromNibblesFourToZero) {
    struct Case {
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {0x10800, "108.00"},  {0x11795, "117.95"}, {0x11800, "118.00"}, {0x118000 >> 4 | 0x10000, "118.00"},
        {0x11802, "118.02"},  {0x11807, "118.07"}, {0x13697, "136.97"}, {0x13700, "137.00"},
        {0xFFF11795, "117.95"},  // bits 20 and up are ignored
        {0x1001A, "100.1:"},     // a nibble above 9 gives the character after '9'
        {0xFFFFF, "???.??"},
    };
    for (const Case& c : cases) {
        char text[9];
        std::memset(text, 'x', sizeof text);
        FormatFrequency(c.code, text);
        EXPECT_STREQ(text, c.text) << std::hex << c.code;
        EXPECT_EQ(text[7], 'x') << "wrote past seven bytes";
    }
}

TEST(CodeToCount, WeighsEachNibbleAtItsDecimalPlace) {
    struct Case {
        uint32_t code;
        FrequencyCount count;
    };
    const Case cases[] = {
        {0x800, 800},       {0x1795, 1795},     {0x18000, 18000},   {0x118000, 18000},
        {0x18025, 18025},   {0x37000, 37000},   {0x1A, 20},         {0xFFFFF, 166665},
        {0, 0},
    };
    for (const Case& c : cases) {
        FrequencyCount count = -1;
        CodeToCount(c.code, &count);
        EXPECT_EQ(count, c.count) << std::hex << c.code;
    }
}

TEST(CountToCode, PacksTheDecimalDigits) {
    struct Case {
        FrequencyCount count;
        uint32_t code;
    };
    const Case cases[] = {
        {800, 0x800},       {1795, 0x1795},     {18025, 0x18025},   {37000, 0x37000},
        {0, 0},             {99999, 0x99999},   {123456, 0xC3456},  {159999, 0xF9999},
    };
    for (const Case& c : cases) {
        uint32_t code = 0xDEAD;
        CountToCode(c.count, &code);
        EXPECT_EQ(code, c.code) << c.count;
    }
}

TEST(CountToCode, RoundTripsEveryCountUpTo159999) {
    for (FrequencyCount count = 0; count <= 159999; ++count) {
        uint32_t code = 0;
        FrequencyCount back = -1;
        CountToCode(count, &code);
        CodeToCount(code, &back);
        ASSERT_EQ(back, count);
    }
}

TEST(CountToCode, NegativeCountsGiveSomeCodeWithoutFailing) {
    for (FrequencyCount count : {-1, -5, -999, -18000, INT32_MIN, INT32_MAX}) {
        uint32_t code = 0;
        CountToCode(count, &code);
        char text[7];
        FormatFrequency(code | LeadingOne, text);
        EXPECT_EQ(std::strlen(text), 6u) << count;
    }
}

TEST(ComRules, ThousandthsFollowTheHundredthsDigit) {
    struct Case {
        FrequencyCode code;
        ComFineCode fine;
        FrequencyCount count;
    };
    const Case cases[] = {
        {0x1800, 0x18000, 18000}, {0x1802, 0x18025, 18025}, {0x1805, 0x18050, 18050},
        {0x1807, 0x18075, 18075}, {0x3697, 0x36975, 36975}, {0x3700, 0x37000, 37000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComCodeToFine(c.code), c.fine) << std::hex << c.code;
        EXPECT_EQ(ComCodeToCount(c.code), c.count) << std::hex << c.code;
        EXPECT_EQ(ComFineToCode(c.fine), c.code) << std::hex << c.fine;
        uint32_t fine = 0;
        CountToCode(c.count, &fine);
        EXPECT_EQ(ComFineToCode(fine), c.code) << c.count;
    }
    // The default standby keeps its leading 1 through the shift.
    EXPECT_EQ(ComFineToCode(DefaultComStandby), 0x11800u);
    EXPECT_EQ(ComFineToCode(DefaultComStandby) | LeadingOne, 0x11800u);
}

}  // namespace
