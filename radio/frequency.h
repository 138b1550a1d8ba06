// The radio's three forms of a frequency and the conversions between them.
//
// FrequencyCode: four packed decimal digits, tens of MHz down to hundredths,
//   the leading 1 of the MHz left off (117.95 MHz is 0x1795). The host's
//   active frequencies and the NAV standby frequency take this form.
// ComFineCode: a COM FrequencyCode shifted up one digit with the thousandths
//   in the lowest digit (118.025 MHz is 0x18025). The COM standby takes it.
// FrequencyCount: the plain decimal value of a code's digits; NAV counts are
//   in 10 kHz steps (800 to 1795), COM counts in kHz (18000 to 37000). All
//   stepping, clamping and wrapping is done on counts.
#pragma once

#include <cstdint>

using FrequencyCode = uint32_t;
using ComFineCode = uint32_t;
using FrequencyCount = int32_t;

// The radio's two standby frequencies, stored in the registry as they lie
// in memory: two little-endian words, NAV first.
struct StandbyFrequencies {
    FrequencyCode navStandby;
    ComFineCode comStandby;
};
static_assert(sizeof(StandbyFrequencies) == 8);

constexpr FrequencyCode DefaultNavStandby = 0x800;     // 108.00 MHz
constexpr ComFineCode DefaultComStandby = 0x118000;    // 118.000 MHz, with the leading 1

// The bit that puts the hundreds digit 1 in front of a code for display.
constexpr uint32_t LeadingOne = 0x10000;

// Writes exactly seven bytes: digits of nibbles 4 to 2, '.', nibbles 1 and
// 0, NUL. Bits 20 and up are ignored.
void FormatFrequency(uint32_t code, char* text);
void CodeToCount(uint32_t code, FrequencyCount* count);
void CountToCode(FrequencyCount count, uint32_t* code);

// 0x1802 (118.025 MHz, shown as 118.02) becomes 0x18025: the thousandths
// digit is 5 whenever the hundredths digit is 2 or 7.
ComFineCode ComCodeToFine(FrequencyCode code);
// Drops the thousandths digit.
FrequencyCode ComFineToCode(ComFineCode fine);
// A COM FrequencyCode as a count in kHz.
FrequencyCount ComCodeToCount(FrequencyCode code);
