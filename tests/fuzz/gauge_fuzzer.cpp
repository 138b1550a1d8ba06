// libFuzzer target: the input bytes choose a gauge and a sequence of steps
// (the same steps as the stress tests), and every invariant is checked
// after every step. A broken invariant aborts, so the fuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <dlfcn.h>
#include <unistd.h>

#include "gauge_stress.h"

namespace {

const char* const Modules[] = {"ORIM_TR410", "QAV_MetricOnly_US_450", "QAV_98_200L_Fuel_Quantity"};

}  // namespace

std::string ModulePath(const char* name);

std::string ModulePath(const char* name) {
    return std::string(GAUGE_MODULE_DIR) + "/" + name + ".so";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The fuzzer's coverage counters live in the modules: they must stay
    // mapped, so every module is held loaded for the whole run. (Their
    // state therefore carries from one input to the next.)
    for (const char* module : Modules) dlopen(ModulePath(module).c_str(), RTLD_NOW | RTLD_NODELETE);
    // A registry file and power bus of the fuzzer's own.
    std::string unique = "orimfuzz" + std::to_string(getpid()) + "_";
    setenv("ORIM_SHM_PREFIX", unique.c_str(), 1);
    setenv("ORIM_REGISTRY_FILE", ("/tmp/" + unique + "registry").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::string module = ModulePath(Modules[data[0] % 3]);
    BytesChooser chooser(data + 1, size - 1);
    GaugeStress stress(module, true);
    std::string broken = stress.Check();
    std::string last;
    while (broken.empty() && !chooser.Exhausted() && stress.steps() < 1000) {
        last = stress.Step(chooser);
        broken = stress.Check();
    }
    if (!broken.empty()) {
        std::fprintf(stderr, "gauge_fuzzer: %s, step %d (%s): %s\n", Modules[data[0] % 3], stress.steps(),
                     last.c_str(), broken.c_str());
        std::abort();
    }
    return 0;
}
