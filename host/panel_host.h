// The panel host: loads gauge modules, serves their panel services, keeps
// the variables, runs cycles and passes clicks on, as the simulator does.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gauge_records.h"
#include "key_events.h"
#include "module_loader.h"
#include "variables.h"

namespace panel {

class PanelHost;

// The arguments of one service call (three at the most), kept without
// allocating: the log sees every call of every cycle.
class CallArgs {
public:
    CallArgs(std::initializer_list<uintptr_t> args) {
        for (uintptr_t arg : args)
            if (count_ < values_.size()) values_[count_++] = arg;
    }
    size_t size() const { return count_; }
    uintptr_t operator[](size_t index) const { return values_[index]; }

private:
    std::array<uintptr_t, 3> values_{};
    size_t count_ = 0;
};

// One call a module made into the services table.
struct ServiceCall {
    std::string_view service;  // the service's name, a literal
    CallArgs args;
};

enum class MouseButton { Primary, Secondary };

// The record a static image's host_image points at. The module hands
// &record + 4 back to SetUpMouseList; the host checks it got that.
struct HostImage {
    uint32_t image_id;
    uint32_t mouse_anchor;
    ElementHeader* element;
};

enum class GaugeState { Loaded, Installed, Running, Killed };

constexpr uint32_t TextGuardBytes = 8;
constexpr char TextGuardFill = static_cast<char>(0xA5);

class Gauge {
public:
    Gauge(PanelHost& host, const std::string& path);
    ~Gauge();
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;

    ModuleLibrary& library() { return library_; }
    GaugeHeader& header() { return *library_.linkage().gauge; }
    ElementHeader* root() { return header().elements[0]; }
    std::string name() { return header().name ? header().name : ""; }
    GaugeState state() const { return state_; }

    // The gauge routines, each with the host's own bookkeeping around it.
    uint32_t Query();
    void Install(uint32_t value = 0);
    void Initialise();
    void Start() { Install(); Initialise(); }
    // Update, every element callback in drawing order, generate, draw.
    void Cycle();
    void Kill();

    // Passes a click at gauge pixel (x, y) to the first area of the active
    // mouse list that holds the point and takes that button. Returns the
    // handler's result, or nothing when no handler was reached.
    std::optional<int32_t> Click(int x, int y, MouseButton button);
    // The index (in list order) of the area a click would reach, or -1.
    int AreaAt(int x, int y, MouseButton button) const;

    // The last result of the callback that was given this variable.
    std::optional<double> CallbackValue(const ModuleVar* var) const;
    std::optional<double> ElementValue(ElementHeader* element) const;
    // The contents of a text element's host buffer ("" before install).
    std::string Text(ElementHeader* element) const;
    // Text elements whose buffer lacks its NUL within max_chars + 1 bytes,
    // or whose guard bytes after the buffer were written.
    std::vector<ElementHeader*> BrokenTexts();

    MouseRect* mouse_list() const { return mouse_list_; }
    bool mouse_active() const { return mouse_active_; }
    void* mouse_anchor() const { return mouse_anchor_; }
    int cycles() const { return cycles_; }

private:
    friend class PanelHost;
    void RunCallbacks(ElementHeader* element);

    PanelHost& host_;
    ModuleLibrary library_;
    GaugeState state_ = GaugeState::Loaded;
    int cycles_ = 0;

    std::vector<std::unique_ptr<HostImage>> images_;
    std::vector<std::unique_ptr<std::vector<char>>> buffers_;
    MouseRect* mouse_list_ = nullptr;
    void* mouse_anchor_ = nullptr;
    bool mouse_active_ = false;
    std::map<const void*, double> values_;
};

class PanelHost {
public:
    PanelHost();
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // Loads a module and writes the services table into its ImportTable
    // before anything else runs. Throws LoadError.
    Gauge& Load(const std::string& path);
    void Unload(Gauge& gauge);
    const std::vector<std::unique_ptr<Gauge>>& gauges() const { return gauges_; }

    VariableStore& variables() { return variables_; }
    const std::vector<KeyEvent>& events() const { return events_; }
    const std::vector<ServiceCall>& calls() const { return calls_; }
    void ClearLogs() { events_.clear(); calls_.clear(); }
    void ClearCalls() { calls_.clear(); }
    PanelServices* services() { return &services_; }

    // The host whose gauge is running right now; services go to it.
    static PanelHost& Active();

    // Service bodies, called through the table.
    uint32_t QueryElements(ElementHeader* root);
    void InstallElements(ElementHeader* root, uint32_t value);
    void InitialiseElements(ElementHeader* root);
    void UpdateElements(ElementHeader* root);
    void GenerateElements(ElementHeader* root, uint32_t value);
    void DrawElements(ElementHeader* root);
    void KillElements(ElementHeader* root);
    void SetUpMouseList(MouseRect* list, GaugeHeader* header, void* anchor);
    void StartMouseList(MouseRect* list, GaugeHeader* header);
    void EndMouseList(MouseRect* list, GaugeHeader* header);
    void SendKeyEvent(uint32_t event, uint32_t value);
    void InitialiseVariable(ModuleVar* var);
    void RefreshVariable(ModuleVar* var);

private:
    friend class Gauge;
    friend class ActiveHost;
    Gauge& GaugeOfRoot(ElementHeader* root, const char* service);
    Gauge& GaugeOfHeader(GaugeHeader* header, const char* service);
    void Log(std::string_view service, CallArgs args);
    void RefreshElementVariables(ElementHeader* root);

    PanelServices services_{};
    VariableStore variables_;
    std::vector<KeyEvent> events_;
    std::vector<ServiceCall> calls_;
    std::vector<std::unique_ptr<Gauge>> gauges_;
};

// Marks a host active for the duration of a call into a module.
class ActiveHost {
public:
    explicit ActiveHost(PanelHost& host);
    ~ActiveHost();

private:
    PanelHost* previous_;
};

// Reports a broken contract between module and host and stops the process:
// nothing can be unwound through a module's frames.
[[noreturn]] void HostFault(const std::string& message);

}  // namespace panel
