#include "variables.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace panel {

const std::vector<TokenName>& KnownTokens() {
    static const std::vector<TokenName> tokens = {
        {0x01, "token_1", VariableForm::Number},
        {0x05, "token_5", VariableForm::Number},
        {0x10, "token_16", VariableForm::Number},
        {0x11, "token_17", VariableForm::Number},
        {0x17, "com_active", VariableForm::Integer},
        {0x18, "nav_active", VariableForm::Integer},
        {0x19, "nav_radial", VariableForm::Number},
        {0x28, "nav_deviation", VariableForm::Number},
        {0x2B, "nav_to_from", VariableForm::Integer},
        {0x2D, "nav_obs", VariableForm::Number},
        {0x2E, "nav_flags", VariableForm::Integer},
        {0x3D, "airspeed_knots", VariableForm::Number},
        {0x123, "fuel_quantity_2", VariableForm::Number},
        {0x129, "fuel_quantity_1", VariableForm::Number},
        {0x14F, "airspeed_units", VariableForm::Number},
    };
    return tokens;
}

VariableForm FormOf(uint32_t token) {
    for (const auto& known : KnownTokens())
        if (known.token == token) return known.form;
    return VariableForm::Number;
}

std::optional<uint32_t> ParseToken(const std::string& text) {
    for (const auto& known : KnownTokens())
        if (text == known.name) return known.token;
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || errno != 0 || text[0] == '-' || value > 0xFFFFFFFFul)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::string TokenLabel(uint32_t token) {
    for (const auto& known : KnownTokens())
        if (known.token == token) return known.name;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", token);
    return buffer;
}

// The host's truncation of a double into an integer variable: toward zero,
// with anything outside the 32-bit range (or not a number) kept at the
// nearest end, or 0.
static int32_t ToInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

void VariableStore::Set(uint32_t token, double value) {
    values_[token] = FormOf(token) == VariableForm::Integer ? ToInteger(value) : value;
}

void VariableStore::SetInteger(uint32_t token, int32_t value) {
    values_[token] = value;
}

double VariableStore::Get(uint32_t token) const {
    auto found = values_.find(token);
    return found == values_.end() ? 0.0 : found->second;
}

int32_t VariableStore::GetInteger(uint32_t token) const {
    return ToInteger(Get(token));
}

void VariableStore::Fill(ModuleVar& var) const {
    std::memcpy(&var.previous_value, &var.value, sizeof var.value);
    std::memset(&var.value, 0, sizeof var.value);
    if (FormOf(var.token) == VariableForm::Integer)
        var.value.integer = GetInteger(var.token);
    else
        var.value.number = Get(var.token);
}

}  // namespace panel
