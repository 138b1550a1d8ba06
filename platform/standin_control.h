// Test controls of the Windows stand-in: make any call fail on purpose,
// see the message boxes shown, and count what is open. Linux build only.
#pragma once

#include <string>
#include <vector>

#include "windows_api.h"

namespace standin {

// One row per call the stand-in serves, in the order of this list.
enum class Call {
    RegCreateKeyExA,
    RegOpenKeyExA,
    RegQueryValueExA,
    RegSetValueExA,
    RegCloseKey,
    CreateFileMappingA,
    MapViewOfFile,
    UnmapViewOfFile,
    MessageBoxA,
    Count,
};

STANDIN_API const char* CallName(Call call);

// The next `times` calls fail (-1: every call until cleared).
STANDIN_API void FailCall(Call call, int times = 1);
STANDIN_API void ClearFaults();
// Whether any call is still set to fail.
STANDIN_API bool FaultsPending();
// How often a call has been made since the last ResetCounts().
STANDIN_API int CallCount(Call call);
STANDIN_API void ResetCounts();

struct MessageBoxRecord {
    std::string caption;
    std::string text;
    unsigned type;
    bool owned;
};
STANDIN_API std::vector<MessageBoxRecord> MessageBoxes();
STANDIN_API void ClearMessageBoxes();

// Open registry keys, file mappings and mapped views right now.
STANDIN_API int OpenKeys();
STANDIN_API int OpenMappings();
STANDIN_API int MappedViews();

// Where the registry is kept: $ORIM_REGISTRY_FILE, or else
// $XDG_CONFIG_HOME/orim/registry, or else ~/.config/orim/registry.
STANDIN_API std::string RegistryFile();
// Shared memory names get $ORIM_SHM_PREFIX in front (tests use it to keep
// parallel runs apart); the name itself is the object's Windows name.
STANDIN_API std::string SharedMemoryName(const char* name);

}  // namespace standin
