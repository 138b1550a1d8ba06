// The radio's power: two conditions that other gauges publish in shared
// memory, and the radio's own knob. Also the radio's part of initialise and
// kill.
#include "gauge_routines.h"
#include "radio.h"
#include "windows_api.h"

int32_t PowerSwitch = 1;
ModuleVar Token5Var = {.token = 5};

namespace {

constexpr const char* PowerBusName = "ORIM_ZUD_BRISKO";

// The handle stays open for the life of the process, so the block outlives
// a kill; each initialise maps a fresh view of it.
HANDLE PowerBusMapping = nullptr;
PowerBusBlock* PowerBus = nullptr;
bool PowerBusIsView = false;
// Used when the shared memory cannot be had: all zero at first, so the
// radio powers itself as it does when no other gauge writes the bus.
PowerBusBlock PrivatePowerBus = {};

HANDLE CreatePowerBusMapping(DWORD size, const char* name) {
    return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
}

PowerBusBlock* MapPowerBusView(HANDLE mapping) {
    return static_cast<PowerBusBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
}

void UnmapPowerBusView(PowerBusBlock* view) {
    UnmapViewOfFile(view);
}

void OpenPowerBus() {
    if (!PowerBusMapping) PowerBusMapping = CreatePowerBusMapping(sizeof(PowerBusBlock), PowerBusName);
    PowerBus = PowerBusMapping ? MapPowerBusView(PowerBusMapping) : nullptr;
    PowerBusIsView = PowerBus != nullptr;
    if (!PowerBus) PowerBus = &PrivatePowerBus;
}

void SwitchRadioOn() {
    PowerSwitch = 1;
    SwitchDisplayOn();
    ShowElement(PowerKnobImage.header);
}

void SwitchRadioOff() {
    PowerSwitch = 0;
    SwitchDisplayOff();
    HideElement(PowerKnobImage.header);
}

}  // namespace

int32_t TruncateToInt32(double value) {
    // Written so that no out-of-range conversion ever happens: a NaN fails
    // both comparisons.
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
    return INT32_MIN;
}

bool BusHasPower() {
    return PowerBus->powerCondition1 == 1 && PowerBus->powerCondition2 == 1;
}

bool RadioHasPower() {
    return BusHasPower() && PowerSwitch == 1;
}

void RadioInitialise() {
    HostServices()->InitialiseVariable(&NavActiveVar);
    HostServices()->InitialiseVariable(&ComActiveVar);
    HideElement(PowerKnobImage.header);
    SwitchDisplayOff();
    HostServices()->InitialiseVariable(&Token5Var);

    OpenPowerBus();
    if (PowerBus->initMark != PowerBusInitMark) {
        // Nobody writes the bus: the radio powers itself.
        PowerBus->powerCondition1 = 1;
        PowerBus->powerCondition2 = 1;
    }
    if (BusHasPower())
        SwitchRadioOn();
    else
        SwitchRadioOff();

    HostServices()->RefreshVariable(&Token5Var);
    if (TruncateToInt32(Token5Var.value.number) % 2 != 0) SwitchRadioOff();

    LoadStandbyFrequencies();
}

void RadioKill() {
    // Saved: the next initialise reads them anew. A block that could not be
    // saved is kept, so nothing entered is lost.
    if (SaveStandbyFrequencies()) ReleaseStandbyFrequencies();
    if (PowerBusIsView) UnmapPowerBusView(PowerBus);
    PowerBus = nullptr;
    PowerBusIsView = false;
}

int32_t GAUGE_STDCALL PowerKnobClick(void*, uint32_t) {
    if (!BusHasPower()) return 0;
    if (PowerSwitch == 1)
        SwitchRadioOff();
    else
        SwitchRadioOn();
    return 0;
}
