// The native Linux build's stand-in for the Windows registry, file mapping
// and message box. Every call goes through one table row, so a test can make
// any of them fail on demand; the registry lives in a small text file and
// named shared memory is POSIX shared memory, so two processes share a
// block exactly as two Windows processes would.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "standin_control.h"

struct StandinKey {
    std::string path;
    REGSAM access;
};

namespace standin {

namespace {

struct CallRow {
    const char* name;
    int fail_remaining;  // -1: always
    int count;
};

CallRow calls[] = {
    {"RegCreateKeyExA", 0, 0},    {"RegOpenKeyExA", 0, 0},      {"RegQueryValueExA", 0, 0},
    {"RegSetValueExA", 0, 0},     {"RegCloseKey", 0, 0},        {"CreateFileMappingA", 0, 0},
    {"MapViewOfFile", 0, 0},      {"UnmapViewOfFile", 0, 0},    {"MessageBoxA", 0, 0},
};
static_assert(sizeof calls / sizeof calls[0] == static_cast<size_t>(Call::Count));

thread_local DWORD last_error = 0;
std::vector<MessageBoxRecord> message_boxes;
std::set<StandinKey*> open_keys;

struct Mapping {
    int fd;
    size_t size;
};
std::set<Mapping*> open_mappings;
std::map<const void*, size_t> views;

// A Windows mapping object goes away with the last handle to it, and a
// process's handles are closed when it ends. POSIX shared memory outlives
// its processes, so at the end the handles still open are closed and the
// names this process created removed: a stale bus must not greet the next
// run.
std::set<std::string> created_names;

void CloseAtExit() {
    for (StandinKey* key : open_keys) delete key;
    open_keys.clear();
    for (Mapping* mapping : open_mappings) {
        close(mapping->fd);
        delete mapping;
    }
    open_mappings.clear();
    for (const std::string& name : created_names) shm_unlink(name.c_str());
}

// Counts the call and tells whether it is to fail now.
bool Failing(Call call) {
    CallRow& row = calls[static_cast<int>(call)];
    ++row.count;
    if (row.fail_remaining == 0) return false;
    if (row.fail_remaining > 0) --row.fail_remaining;
    return true;
}

// --- the registry file -----------------------------------------------------

struct StoredValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct Registry {
    std::set<std::string> keys;  // lower-case paths below HKEY_CURRENT_USER
    std::map<std::string, std::string> key_names;  // lower-case -> as created
    std::map<std::pair<std::string, std::string>, StoredValue> values;  // (key, lower-case name)
    std::map<std::pair<std::string, std::string>, std::string> value_names;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Hex(const std::vector<BYTE>& data) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (BYTE b : data) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool FromHex(const std::string& text, std::vector<BYTE>& data) {
    if (text.size() % 2) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        char pair[3] = {text[i], text[i + 1], 0};
        char* end = nullptr;
        long byte = std::strtol(pair, &end, 16);
        if (*end) return false;
        data.push_back(static_cast<BYTE>(byte));
    }
    return true;
}

// Lines: "key<TAB>PATH" and "value<TAB>PATH<TAB>NAME<TAB>TYPE<TAB>HEX".
Registry LoadRegistry() {
    Registry registry;
    std::ifstream in(RegistryFile());
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        if (fields.size() == 2 && fields[0] == "key") {
            registry.keys.insert(Lower(fields[1]));
            registry.key_names[Lower(fields[1])] = fields[1];
        } else if (fields.size() >= 4 && fields[0] == "value") {
            StoredValue value{static_cast<DWORD>(std::strtoul(fields[3].c_str(), nullptr, 10)), {}};
            if (fields.size() == 5 && !FromHex(fields[4], value.data)) continue;
            auto id = std::make_pair(Lower(fields[1]), Lower(fields[2]));
            registry.values[id] = value;
            registry.value_names[id] = fields[2];
        }
    }
    return registry;
}

bool SaveRegistry(const Registry& registry) {
    std::string path = RegistryFile();
    auto slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        // Make the folders on the way, as the registry always exists.
        for (size_t at = 1; at <= slash; ++at)
            if (path[at] == '/' || at == slash) mkdir(path.substr(0, at == slash ? slash : at).c_str(), 0700);
    }
    std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return false;
        for (const std::string& key : registry.keys) out << "key\t" << registry.key_names.at(key) << "\n";
        for (const auto& [id, value] : registry.values) {
            auto name = registry.key_names.find(id.first);
            out << "value\t" << (name != registry.key_names.end() ? name->second : id.first) << "\t"
                << registry.value_names.at(id) << "\t" << value.type << "\t" << Hex(value.data) << "\n";
        }
        if (!out) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool LiveKey(HKEY key) {
    return key == HKEY_CURRENT_USER || open_keys.count(key) != 0;
}

std::string Below(HKEY key, LPCSTR sub_key) {
    std::string base = key == HKEY_CURRENT_USER ? "" : key->path;
    std::string sub = sub_key ? sub_key : "";
    if (base.empty()) return sub;
    if (sub.empty()) return base;
    return base + "\\" + sub;
}

// Handles a process leaves open are closed when it ends, as Windows does.
void CloseHandlesAtExit() {
    static bool registered = false;
    if (!registered) registered = std::atexit(CloseAtExit) == 0;
}

HKEY NewKey(const std::string& path, REGSAM access) {
    CloseHandlesAtExit();
    auto* key = new StandinKey{path, access};
    open_keys.insert(key);
    return key;
}

}  // namespace

const char* CallName(Call call) {
    return calls[static_cast<int>(call)].name;
}

void FailCall(Call call, int times) {
    calls[static_cast<int>(call)].fail_remaining = times;
}

void ClearFaults() {
    for (CallRow& row : calls) row.fail_remaining = 0;
}

bool FaultsPending() {
    for (const CallRow& row : calls)
        if (row.fail_remaining != 0) return true;
    return false;
}

int CallCount(Call call) {
    return calls[static_cast<int>(call)].count;
}

void ResetCounts() {
    for (CallRow& row : calls) row.count = 0;
}

std::vector<MessageBoxRecord> MessageBoxes() {
    return message_boxes;
}

void ClearMessageBoxes() {
    message_boxes.clear();
}

int OpenKeys() {
    return static_cast<int>(open_keys.size());
}

int OpenMappings() {
    return static_cast<int>(open_mappings.size());
}

int MappedViews() {
    return static_cast<int>(views.size());
}

std::string RegistryFile() {
    if (const char* file = std::getenv("ORIM_REGISTRY_FILE"); file && *file) return file;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/orim/registry";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/orim/registry";
}

std::string SharedMemoryName(const char* name) {
    const char* prefix = std::getenv("ORIM_SHM_PREFIX");
    std::string full = "/";
    if (prefix) full += prefix;
    for (const char* c = name; *c; ++c) full += *c == '/' ? '_' : *c;
    return full;
}

}  // namespace standin

using standin::Call;
using standin::Failing;

extern "C" {

LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD, LPSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                               PHKEY result, LPDWORD disposition) {
    if (Failing(Call::RegCreateKeyExA)) return ERROR_ACCESS_DENIED;
    if (!result || !standin::LiveKey(key)) return ERROR_INVALID_HANDLE;
    std::string path = standin::Below(key, sub_key);
    standin::Registry registry = standin::LoadRegistry();
    bool created = registry.keys.insert(standin::Lower(path)).second;
    if (created) {
        registry.key_names[standin::Lower(path)] = path;
        if (!standin::SaveRegistry(registry)) return ERROR_ACCESS_DENIED;
    }
    if (disposition) *disposition = created ? 1 : 2;  // REG_CREATED_NEW_KEY, REG_OPENED_EXISTING_KEY
    *result = standin::NewKey(path, access);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD, REGSAM access, PHKEY result) {
    if (Failing(Call::RegOpenKeyExA)) return ERROR_ACCESS_DENIED;
    if (!result || !standin::LiveKey(key)) return ERROR_INVALID_HANDLE;
    std::string path = standin::Below(key, sub_key);
    if (!standin::LoadRegistry().keys.count(standin::Lower(path))) return ERROR_FILE_NOT_FOUND;
    *result = standin::NewKey(path, access);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (Failing(Call::RegQueryValueExA)) return ERROR_ACCESS_DENIED;
    if (!standin::LiveKey(key) || key == HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
    if (data && !size) return ERROR_INVALID_PARAMETER;
    standin::Registry registry = standin::LoadRegistry();
    auto found = registry.values.find({standin::Lower(key->path), standin::Lower(name ? name : "")});
    if (found == registry.values.end()) return ERROR_FILE_NOT_FOUND;
    const standin::StoredValue& value = found->second;
    if (type) *type = value.type;
    DWORD needed = static_cast<DWORD>(value.data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(value.data.begin(), value.data.end(), data);
    }
    if (size) *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (Failing(Call::RegSetValueExA)) return ERROR_ACCESS_DENIED;
    if (!standin::LiveKey(key) || key == HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
    if (!(key->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (size && !data) return ERROR_INVALID_PARAMETER;
    standin::Registry registry = standin::LoadRegistry();
    std::string lower_key = standin::Lower(key->path);
    if (!registry.keys.count(lower_key)) return ERROR_FILE_NOT_FOUND;  // deleted meanwhile
    auto id = std::make_pair(lower_key, standin::Lower(name ? name : ""));
    registry.values[id] = {type, std::vector<BYTE>(data, data + size)};
    registry.value_names[id] = name ? name : "";
    return standin::SaveRegistry(registry) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS WINAPI RegCloseKey(HKEY key) {
    if (Failing(Call::RegCloseKey)) return ERROR_ACCESS_DENIED;
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    if (!standin::open_keys.erase(key)) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
    if (!standin::LiveKey(key) || key == HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
    standin::Registry registry = standin::LoadRegistry();
    auto id = std::make_pair(standin::Lower(key->path), standin::Lower(name ? name : ""));
    if (!registry.values.erase(id)) return ERROR_FILE_NOT_FOUND;
    registry.value_names.erase(id);
    return standin::SaveRegistry(registry) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD size_high, DWORD size_low,
                                 LPCSTR name) {
    using standin::last_error;
    if (Failing(Call::CreateFileMappingA)) {
        last_error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    // Only what the radio asks for: memory backed by the paging file.
    if (file != INVALID_HANDLE_VALUE || protect != PAGE_READWRITE || size_high != 0 || size_low == 0) {
        last_error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    std::string shm_name = name ? standin::SharedMemoryName(name) : standin::SharedMemoryName("anonymous");
    bool existed = true;
    int fd = shm_open(shm_name.c_str(), O_RDWR, 0600);
    if (fd < 0) {
        existed = false;
        fd = shm_open(shm_name.c_str(), O_RDWR | O_CREAT, 0600);
    }
    if (fd < 0) {
        last_error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    standin::CloseHandlesAtExit();
    if (!name)
        shm_unlink(shm_name.c_str());
    else if (!existed)
        standin::created_names.insert(shm_name);
    struct stat status {};
    fstat(fd, &status);
    if (static_cast<size_t>(status.st_size) < size_low && ftruncate(fd, size_low) != 0) {
        close(fd);
        last_error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    fstat(fd, &status);
    auto* mapping = new standin::Mapping{fd, static_cast<size_t>(status.st_size)};
    standin::open_mappings.insert(mapping);
    last_error = existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return mapping;
}

LPVOID WINAPI MapViewOfFile(HANDLE handle, DWORD, DWORD offset_high, DWORD offset_low, SIZE_T size) {
    using standin::last_error;
    if (Failing(Call::MapViewOfFile)) {
        last_error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    auto* mapping = static_cast<standin::Mapping*>(handle);
    if (!standin::open_mappings.count(mapping) || offset_high || offset_low || size > mapping->size) {
        last_error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    size_t length = size ? size : mapping->size;
    void* view = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, mapping->fd, 0);
    if (view == MAP_FAILED) {
        last_error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    standin::views[view] = length;
    return view;
}

BOOL WINAPI UnmapViewOfFile(LPCVOID view) {
    if (Failing(Call::UnmapViewOfFile)) return 0;
    auto found = standin::views.find(view);
    if (found == standin::views.end()) return 0;
    munmap(const_cast<void*>(view), found->second);
    standin::views.erase(found);
    return 1;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    auto* mapping = static_cast<standin::Mapping*>(handle);
    if (!standin::open_mappings.erase(mapping)) return 0;
    close(mapping->fd);
    delete mapping;
    return 1;
}

DWORD WINAPI GetLastError() {
    return standin::last_error;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (Failing(Call::MessageBoxA)) return 0;
    standin::message_boxes.push_back({caption ? caption : "", text ? text : "", type, owner != nullptr});
    std::fprintf(stderr, "[message box] %s: %s\n", caption ? caption : "", text ? text : "");
    return IDOK;
}

}  // extern "C"
