// Key events the gauges send, and what this host does with them.
//
//   65707  set COM active frequency (token 0x17) to the code sent
//   65708  set NAV active frequency (token 0x18) to the code sent
//   65636 / 65637  COM active whole MHz down / up, 118 to 136, wrapping
//   65638 / 65639  COM active fraction down / up by 0.05, wrapping within the MHz
//   65640 / 65641  NAV active whole MHz down / up, 108 to 117, wrapping
//   65642 / 65643  NAV active fraction down / up by 0.05, wrapping within the MHz
//   65662 / 65663  selected course (token 0x2D) down / up one degree, 0 to 359
//   65842  IDENT: logged only
// Every event, known or not, is logged with its value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "variables.h"

namespace panel {

namespace events {
constexpr uint32_t ComWholeDown = 65636;
constexpr uint32_t ComWholeUp = 65637;
constexpr uint32_t ComFractionDown = 65638;
constexpr uint32_t ComFractionUp = 65639;
constexpr uint32_t NavWholeDown = 65640;
constexpr uint32_t NavWholeUp = 65641;
constexpr uint32_t NavFractionDown = 65642;
constexpr uint32_t NavFractionUp = 65643;
constexpr uint32_t CourseDown = 65662;
constexpr uint32_t CourseUp = 65663;
constexpr uint32_t SetComActive = 65707;
constexpr uint32_t SetNavActive = 65708;
constexpr uint32_t Ident = 65842;
}  // namespace events

struct KeyEvent {
    uint32_t event;
    uint32_t value;
};

// "SetComActive" and the like for the events above, else the number.
std::string EventLabel(uint32_t event);

// Applies the host's own effect of one event to its variables.
void ApplyKeyEvent(const KeyEvent& event, VariableStore& variables);

}  // namespace panel
