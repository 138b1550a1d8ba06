#include "key_events.h"

#include <cmath>

namespace panel {

std::string EventLabel(uint32_t event) {
    switch (event) {
    case events::ComWholeDown: return "ComWholeDown";
    case events::ComWholeUp: return "ComWholeUp";
    case events::ComFractionDown: return "ComFractionDown";
    case events::ComFractionUp: return "ComFractionUp";
    case events::NavWholeDown: return "NavWholeDown";
    case events::NavWholeUp: return "NavWholeUp";
    case events::NavFractionDown: return "NavFractionDown";
    case events::NavFractionUp: return "NavFractionUp";
    case events::CourseDown: return "CourseDown";
    case events::CourseUp: return "CourseUp";
    case events::SetComActive: return "SetComActive";
    case events::SetNavActive: return "SetNavActive";
    case events::Ident: return "Ident";
    default: return std::to_string(event);
    }
}

namespace {

// The active frequencies are four packed decimal digits: tens and units of
// MHz (the leading 1 left off), then tenths and hundredths.
int DecimalOf(uint32_t bcd) {
    return static_cast<int>(((bcd >> 4) & 0xF) * 10 + (bcd & 0xF));
}

uint32_t BcdOf(int value) {
    return static_cast<uint32_t>(((value / 10) << 4) | (value % 10));
}

int Wrap(int value, int low, int high) {
    int span = high - low + 1;
    return low + (((value - low) % span) + span) % span;
}

void StepWhole(VariableStore& variables, uint32_t token, int step, int low, int high) {
    uint32_t code = static_cast<uint32_t>(variables.GetInteger(token));
    int mhz = Wrap(DecimalOf(code >> 8) + step, low, high);
    variables.SetInteger(token, static_cast<int32_t>((BcdOf(mhz) << 8) | (code & 0xFF)));
}

void StepFraction(VariableStore& variables, uint32_t token, int step) {
    uint32_t code = static_cast<uint32_t>(variables.GetInteger(token));
    int hundredths = Wrap(DecimalOf(code & 0xFF) / 5 * 5 + step, 0, 99);
    variables.SetInteger(token, static_cast<int32_t>((code & 0xFF00) | BcdOf(hundredths)));
}

void StepCourse(VariableStore& variables, int step) {
    double course = variables.Get(0x2D);
    if (!std::isfinite(course)) course = 0;  // a course that is no angle starts again at 0
    variables.Set(0x2D, Wrap(static_cast<int>(std::fmod(std::trunc(course), 360.0)) + step, 0, 359));
}

}  // namespace

void ApplyKeyEvent(const KeyEvent& event, VariableStore& variables) {
    switch (event.event) {
    case events::SetComActive: variables.SetInteger(0x17, static_cast<int32_t>(event.value)); break;
    case events::SetNavActive: variables.SetInteger(0x18, static_cast<int32_t>(event.value)); break;
    // Whole MHz are kept as the two digits after the implied leading 1.
    case events::ComWholeDown: StepWhole(variables, 0x17, -1, 18, 36); break;
    case events::ComWholeUp: StepWhole(variables, 0x17, +1, 18, 36); break;
    case events::NavWholeDown: StepWhole(variables, 0x18, -1, 8, 17); break;
    case events::NavWholeUp: StepWhole(variables, 0x18, +1, 8, 17); break;
    case events::ComFractionDown: StepFraction(variables, 0x17, -5); break;
    case events::ComFractionUp: StepFraction(variables, 0x17, +5); break;
    case events::NavFractionDown: StepFraction(variables, 0x18, -5); break;
    case events::NavFractionUp: StepFraction(variables, 0x18, +5); break;
    case events::CourseDown: StepCourse(variables, -1); break;
    case events::CourseUp: StepCourse(variables, +1); break;
    default: break;
    }
}

}  // namespace panel
