// What the radio meets besides the host: the power bus other gauges write
// in shared memory, and its standby frequencies in the registry. The
// panel host plays the other gauges' part and lets a user set the stored
// value, as one could on a real machine.
#pragma once

#include <cstdint>

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

// Removes the radio's stored standby frequencies.
void ClearStoredStandby();
// Stores them as the radio does: eight bytes of REG_BINARY.
void StoreStandby(uint32_t nav, uint32_t com);

}  // namespace panel
