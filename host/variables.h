// The host's variables, kept by token. Each token has a fixed form: most
// are doubles, a few are 32-bit integers (frequency codes and bit sets)
// held in the first four bytes of a ModuleVar's value.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gauge_records.h"

namespace panel {

enum class VariableForm { Number, Integer };

struct TokenName {
    uint32_t token;
    const char* name;
    VariableForm form;
};

// Every token one of our gauges reads, with the name people use for it.
const std::vector<TokenName>& KnownTokens();
VariableForm FormOf(uint32_t token);
// "airspeed_knots", "0x3D" or "61"; nullopt when the text names nothing.
std::optional<uint32_t> ParseToken(const std::string& text);
std::string TokenLabel(uint32_t token);

class VariableStore {
public:
    // Sets a variable from a double; an integer variable takes the value
    // truncated toward zero.
    void Set(uint32_t token, double value);
    void SetInteger(uint32_t token, int32_t value);
    double Get(uint32_t token) const;
    int32_t GetInteger(uint32_t token) const;
    bool Has(uint32_t token) const { return values_.count(token) != 0; }

    // Writes the current value into a module's record, in the token's form.
    void Fill(ModuleVar& var) const;
    const std::map<uint32_t, double>& All() const { return values_; }

private:
    std::map<uint32_t, double> values_;
};

}  // namespace panel
