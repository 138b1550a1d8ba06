#include "test_support.h"

#include <cstdlib>
#include <string>

#if !defined(_WIN32)
#include <unistd.h>

namespace {

// In the Linux build the radio's registry and power bus live in a file and
// in shared memory of the stand-in; every test process gets its own, so
// that tests never meet each other's (or the user's) stored values.
struct PrivateRadioEnvironment {
    PrivateRadioEnvironment() {
        std::string unique = "orimtest" + std::to_string(getpid()) + "_";
        setenv("ORIM_SHM_PREFIX", unique.c_str(), 0);
        const char* tmp = std::getenv("TMPDIR");
        std::string file = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + unique + "registry";
        setenv("ORIM_REGISTRY_FILE", file.c_str(), 0);
    }
    ~PrivateRadioEnvironment() {
        if (const char* file = std::getenv("ORIM_REGISTRY_FILE")) std::remove(file);
    }
} private_radio_environment;

}  // namespace
#endif

namespace {

std::string Native(std::string path) {
#if defined(_WIN32)
    // Under Wine the build's Unix paths are seen through drive Z:.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    return path;
}

std::string InModuleDir(const std::string& file) {
    return Native(std::string(GAUGE_MODULE_DIR) + "/" + file);
}

}  // namespace

std::string ModulePath(const std::string& name) {
    return InModuleDir(name + GAUGE_MODULE_SUFFIX);
}

std::string LibraryPath(const std::string& name) {
#if defined(_WIN32)
    return InModuleDir(name + ".dll");
#else
    return InModuleDir(name + ".so");
#endif
}

std::string SourcePath(const std::string& relative) {
    return Native(std::string(GAUGE_SOURCE_DIR) + "/" + relative);
}

std::vector<std::string> ServiceNames(const panel::PanelHost& host) {
    std::vector<std::string> names;
    for (const auto& call : host.calls()) names.push_back(std::string(call.service));
    return names;
}

std::vector<uint32_t> EventNumbers(const panel::PanelHost& host) {
    std::vector<uint32_t> numbers;
    for (const auto& event : host.events()) numbers.push_back(event.event);
    return numbers;
}

int FirstCall(const panel::PanelHost& host, const std::string& service) {
    const auto& calls = host.calls();
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].service == service) return static_cast<int>(i);
    return -1;
}
