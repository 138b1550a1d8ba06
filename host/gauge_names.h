// Readable names for the elements of our three gauges, so that scenarios
// and listings can say "NavActiveText" rather than "element 1".
#pragma once

#include <optional>
#include <string>

#include "panel_host.h"

namespace panel {

// The element's name, or "element N" (N its place in drawing order).
std::string ElementName(Gauge& gauge, ElementHeader* element);
// An element by name or by "#N"; nothing when there is no such element.
ElementHeader* FindElement(Gauge& gauge, const std::string& name);

}  // namespace panel
