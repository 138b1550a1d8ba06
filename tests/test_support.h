// Helpers shared by the tests: where the built modules are, and small
// views of the host's logs.
#pragma once

#include <string>
#include <vector>

#include "panel_host.h"

// Full path of a module built into the module folder, by target name; a
// plain library there takes the platform's own suffix instead.
std::string ModulePath(const std::string& name);
std::string LibraryPath(const std::string& name);
// A file of the source tree, by its path from the top.
std::string SourcePath(const std::string& relative);

// The names of the services called, in order, from a host's log.
std::vector<std::string> ServiceNames(const panel::PanelHost& host);
// The events sent, in order.
std::vector<uint32_t> EventNumbers(const panel::PanelHost& host);
// Position of the first call of a service in the log, or -1.
int FirstCall(const panel::PanelHost& host, const std::string& service);
