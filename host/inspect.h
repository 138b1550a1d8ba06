// A module's records in full, and a check of their consistency.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "panel_host.h"

namespace panel {

// Writes the listing and returns the problems found (none: consistent).
std::vector<std::string> InspectGauge(Gauge& gauge, std::ostream& out);

}  // namespace panel
