#include "frequency.h"

namespace {

uint32_t Nibble(uint32_t code, int index) {
    return (code >> (4 * index)) & 0xF;
}

// The hundredths digits 2 and 7 stand for .x25 and .x75 MHz.
bool HasHiddenFive(FrequencyCode code) {
    return Nibble(code, 0) == 2 || Nibble(code, 0) == 7;
}

}  // namespace

void FormatFrequency(uint32_t code, char* text) {
    text[0] = static_cast<char>('0' + Nibble(code, 4));
    text[1] = static_cast<char>('0' + Nibble(code, 3));
    text[2] = static_cast<char>('0' + Nibble(code, 2));
    text[3] = '.';
    text[4] = static_cast<char>('0' + Nibble(code, 1));
    text[5] = static_cast<char>('0' + Nibble(code, 0));
    text[6] = '\0';
}

void CodeToCount(uint32_t code, FrequencyCount* count) {
    *count = static_cast<FrequencyCount>(Nibble(code, 4) * 10000 + Nibble(code, 3) * 1000 + Nibble(code, 2) * 100 +
                                         Nibble(code, 1) * 10 + Nibble(code, 0));
}

void CountToCode(FrequencyCount count, uint32_t* code) {
    // The ten-thousands quotient is not cut to one digit: 123456 gives
    // 0xC3456. A negative count (only a damaged stored value leads there)
    // gives some code, computed without overflow.
    uint32_t result = 0;
    const int32_t weights[] = {10000, 1000, 100, 10};
    const int shifts[] = {16, 12, 8, 4};
    for (int i = 0; i < 4; ++i) {
        int32_t q = count / weights[i];
        result |= static_cast<uint32_t>(q) << shifts[i];
        count -= q * weights[i];
    }
    *code = result | static_cast<uint32_t>(count);
}

ComFineCode ComCodeToFine(FrequencyCode code) {
    return (code << 4) + (HasHiddenFive(code) ? 5 : 0);
}

FrequencyCode ComFineToCode(ComFineCode fine) {
    return fine >> 4;
}

FrequencyCount ComCodeToCount(FrequencyCode code) {
    FrequencyCount count = 0;
    CodeToCount(code, &count);
    return count * 10 + (HasHiddenFive(code) ? 5 : 0);
}
