// The standby frequencies in the registry: HKEY_CURRENT_USER, key
// "SOFTWARE\ORIM", value "QEFRQ001", eight bytes of REG_BINARY.
#include <cstdlib>

#include "radio.h"
#include "windows_api.h"

StandbyFrequencies* Standby = nullptr;

namespace {

constexpr const char* SettingsKeyName = "SOFTWARE\\ORIM";
constexpr const char* SettingsValueName = "QEFRQ001";
constexpr const char* ErrorCaption = "ORIM Gauge Error";

// The key the last create or open returned; null after a failed one.
HKEY SettingsKey = nullptr;

// A block that could not be saved at the last kill is kept for the next
// initialise; when the library itself goes, so does the block.
struct ReleaseAtUnload {
    ~ReleaseAtUnload() { ReleaseStandbyFrequencies(); }
} release_at_unload;

void ShowError(const char* text) {
    MessageBoxA(nullptr, text, ErrorCaption, MB_OK);
}

HKEY CreateSettingsKey() {
    SettingsKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &SettingsKey, nullptr) != ERROR_SUCCESS) {
        SettingsKey = nullptr;
        ShowError("Open Registry Create");
    }
    return SettingsKey;
}

HKEY OpenSettingsKey() {
    SettingsKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyName, 0, KEY_SET_VALUE, &SettingsKey) != ERROR_SUCCESS) {
        SettingsKey = nullptr;
        ShowError("Open Registry Write");
    }
    return SettingsKey;
}

void CloseSettingsKey() {
    if (SettingsKey) RegCloseKey(SettingsKey);
    SettingsKey = nullptr;
}

// The block comes from the C heap, which the module shares with no one;
// were the heap ever out of 8 bytes, a block of the module's own serves.
StandbyFrequencies FallbackBlock;

StandbyFrequencies* NewDefaultBlock() {
    auto* block = static_cast<StandbyFrequencies*>(std::malloc(sizeof(StandbyFrequencies)));
    if (!block) block = &FallbackBlock;
    *block = {.navStandby = DefaultNavStandby, .comStandby = DefaultComStandby};
    return block;
}

// The stored value as a new block, or null. Only a value of exactly the
// record's size and type is taken: anything else would have the radio read
// or write past a smaller block.
StandbyFrequencies* ReadSettingsValue(HKEY key, const char* name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return nullptr;
    if (type != REG_BINARY || size != sizeof(StandbyFrequencies)) return nullptr;
    StandbyFrequencies* block = NewDefaultBlock();
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(block), &size);
    return block;
}

bool WriteSettingsValue(HKEY key, const char* name, const void* data, DWORD size) {
    return RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

void LoadStandbyFrequencies() {
    if (HKEY key = CreateSettingsKey()) {
        if (StandbyFrequencies* stored = ReadSettingsValue(key, SettingsValueName)) {
            ReleaseStandbyFrequencies();
            Standby = stored;
        }
    }
    // No stored value, or no key at all: the defaults, unless the radio
    // still holds frequencies that could not be saved at the last kill.
    if (!Standby) Standby = NewDefaultBlock();
    CloseSettingsKey();
}

void ReleaseStandbyFrequencies() {
    if (Standby != &FallbackBlock) std::free(Standby);
    Standby = nullptr;
}

bool SaveStandbyFrequencies() {
    bool written = false;
    if (HKEY key = OpenSettingsKey()) written = WriteSettingsValue(key, SettingsValueName, Standby, sizeof *Standby);
    CloseSettingsKey();
    return written;
}
