// What the radio meets besides the host: the power bus other gauges write
// in shared memory, and its standby frequencies in the registry. The
// panel host plays the other gauges' part and lets a user set the stored
// value, as one could on a real machine.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace panel {

class PowerBus {
public:
    PowerBus();  // opens (or creates) "ORIM_ZUD_BRISKO"; throws std::runtime_error
    ~PowerBus();
    PowerBus(const PowerBus&) = delete;
    PowerBus& operator=(const PowerBus&) = delete;

    // As a writer sets it up: the two conditions and the mark.
    void Set(int32_t condition1, int32_t condition2, int32_t init_mark = 4321);
    int32_t Field(int index) const;

private:
    void* mapping_ = nullptr;
    volatile int32_t* view_ = nullptr;
};

// The radio's stored value, HKEY_CURRENT_USER\SOFTWARE\ORIM "QEFRQ001",
// as it stands: its registry type and bytes, or nothing.
struct StoredValue {
    uint32_t type;
    std::vector<uint8_t> bytes;
};
std::optional<StoredValue> ReadStoredValue();
// Stores any value there (a damaged one, for tests). Throws
// std::runtime_error when the key cannot be written.
void StoreValue(uint32_t type, const std::vector<uint8_t>& bytes);
// Removes the radio's stored standby frequencies.
void ClearStoredStandby();
// Stores them as the radio does: eight bytes of REG_BINARY.
void StoreStandby(uint32_t nav, uint32_t com);

}  // namespace panel
