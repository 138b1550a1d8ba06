#include "radio_environment.h"

#include <cstring>
#include <stdexcept>

#include "windows_api.h"

namespace panel {

namespace {
constexpr const char* KeyName = "SOFTWARE\\ORIM";
constexpr const char* ValueName = "QEFRQ001";
}  // namespace

PowerBus::PowerBus() {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, "ORIM_ZUD_BRISKO");
    if (!mapping_) throw std::runtime_error("cannot open the power bus \"ORIM_ZUD_BRISKO\"");
    view_ = static_cast<volatile int32_t*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0));
    if (!view_) {
        CloseHandle(mapping_);
        throw std::runtime_error("cannot map the power bus \"ORIM_ZUD_BRISKO\"");
    }
}

PowerBus::~PowerBus() {
    UnmapViewOfFile(const_cast<int32_t*>(view_));
    CloseHandle(mapping_);
}

void PowerBus::Set(int32_t condition1, int32_t condition2, int32_t init_mark) {
    view_[0] = condition1;
    view_[1] = condition2;
    view_[3] = init_mark;
}

int32_t PowerBus::Field(int index) const {
    return view_[index];
}

std::optional<StoredValue> ReadStoredValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    StoredValue value{};
    DWORD type = 0, size = 0;
    std::optional<StoredValue> result;
    if (RegQueryValueExA(key, ValueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.type = type;
        value.bytes.resize(size);
        if (RegQueryValueExA(key, ValueName, nullptr, nullptr, value.bytes.data(), &size) == ERROR_SUCCESS) {
            value.bytes.resize(size);
            result = value;
        }
    }
    RegCloseKey(key);
    return result;
}

void StoreValue(uint32_t type, const std::vector<uint8_t>& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open HKEY_CURRENT_USER\\SOFTWARE\\ORIM");
    LSTATUS status = RegSetValueExA(key, ValueName, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) throw std::runtime_error("cannot store the radio's value");
}

void ClearStoredStandby() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyName, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, ValueName);
    RegCloseKey(key);
}

void StoreStandby(uint32_t nav, uint32_t com) {
    std::vector<uint8_t> bytes(8);
    std::memcpy(bytes.data(), &nav, 4);
    std::memcpy(bytes.data() + 4, &com, 4);
    StoreValue(REG_BINARY, bytes);
}

}  // namespace panel
