#include "panel_host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>

#include "element_tree.h"

namespace panel {

void BuildServiceTable(PanelServices& table);

namespace {
PanelHost* active_host = nullptr;
}

[[noreturn]] void HostFault(const std::string& message) {
    std::fprintf(stderr, "panelhost: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

ActiveHost::ActiveHost(PanelHost& host) : previous_(active_host) {
    active_host = &host;
}

ActiveHost::~ActiveHost() {
    active_host = previous_;
}

PanelHost& PanelHost::Active() {
    if (!active_host) HostFault("a panel service was called while no gauge was running");
    return *active_host;
}

PanelHost::PanelHost() {
    BuildServiceTable(services_);
}

PanelHost::~PanelHost() {
    // Gauges still running are killed the way the simulator closes a panel.
    while (!gauges_.empty()) Unload(*gauges_.back());
}

Gauge& PanelHost::Load(const std::string& path) {
    gauges_.push_back(std::make_unique<Gauge>(*this, path));
    return *gauges_.back();
}

void PanelHost::Unload(Gauge& gauge) {
    auto found = std::find_if(gauges_.begin(), gauges_.end(), [&](auto& g) { return g.get() == &gauge; });
    if (found == gauges_.end()) return;
    // Kill is only for a gauge that was initialised; one that was only
    // installed (to read its records) is simply let go.
    if (gauge.state() == GaugeState::Running) gauge.Kill();
    gauges_.erase(found);
}

Gauge& PanelHost::GaugeOfRoot(ElementHeader* root, const char* service) {
    for (auto& gauge : gauges_)
        if (gauge->root() == root) return *gauge;
    HostFault(std::string(service) + " was given an element that is no loaded gauge's root");
}

Gauge& PanelHost::GaugeOfHeader(GaugeHeader* header, const char* service) {
    for (auto& gauge : gauges_)
        if (&gauge->header() == header) return *gauge;
    HostFault(std::string(service) + " was given a header that is no loaded gauge's");
}

void PanelHost::Log(std::string_view service, CallArgs args) {
    calls_.push_back({service, args});
}

static uintptr_t Address(const void* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

uint32_t PanelHost::QueryElements(ElementHeader* root) {
    GaugeOfRoot(root, "QueryElements");
    // The simulator's answer is its own business; ours is the number of
    // elements, which a module only passes on.
    auto result = static_cast<uint32_t>(ElementsInOrder(root).size());
    Log("QueryElements", {Address(root), result});
    return result;
}

void PanelHost::InstallElements(ElementHeader* root, uint32_t value) {
    Gauge& gauge = GaugeOfRoot(root, "InstallElements");
    Log("InstallElements", {Address(root), value});
    for (ElementHeader* element : ElementsInOrder(root)) {
        if (element->kind == StaticImageKind) {
            auto image = std::make_unique<HostImage>(HostImage{element->image_id, 0, element});
            As<StaticImageElement>(element)->host_image = image.get();
            gauge.images_.push_back(std::move(image));
        } else if (element->kind == StringKind) {
            auto* text = As<StringElement>(element);
            // Zeroed, so the text starts empty; it stays put until kill.
            // Guard bytes after it show a write past the end.
            auto buffer = std::make_unique<std::vector<char>>(size_t{text->max_chars} + 1 + TextGuardBytes, '\0');
            std::fill(buffer->end() - TextGuardBytes, buffer->end(), TextGuardFill);
            text->text = buffer->data();
            gauge.buffers_.push_back(std::move(buffer));
        }
    }
    RefreshElementVariables(root);
}

void PanelHost::RefreshElementVariables(ElementHeader* root) {
    for (ElementHeader* element : ElementsInOrder(root))
        for (ModuleVar* var : ElementVariables(element))
            if (var->token != 0) variables_.Fill(*var);
}

void PanelHost::InitialiseElements(ElementHeader* root) {
    GaugeOfRoot(root, "InitialiseElements");
    Log("InitialiseElements", {Address(root)});
    RefreshElementVariables(root);
}

void PanelHost::UpdateElements(ElementHeader* root) {
    GaugeOfRoot(root, "UpdateElements");
    Log("UpdateElements", {Address(root)});
    RefreshElementVariables(root);
}

void PanelHost::GenerateElements(ElementHeader* root, uint32_t value) {
    GaugeOfRoot(root, "GenerateElements");
    Log("GenerateElements", {Address(root), value});
}

void PanelHost::DrawElements(ElementHeader* root) {
    GaugeOfRoot(root, "DrawElements");
    Log("DrawElements", {Address(root)});
}

void PanelHost::KillElements(ElementHeader* root) {
    Gauge& gauge = GaugeOfRoot(root, "KillElements");
    Log("KillElements", {Address(root)});
    // Hand the records back as the module declared them, so that a later
    // install starts from the same state as the first.
    for (ElementHeader* element : ElementsInOrder(root)) {
        if (element->kind == StaticImageKind) As<StaticImageElement>(element)->host_image = nullptr;
        if (element->kind == StringKind) As<StringElement>(element)->text = nullptr;
    }
    gauge.images_.clear();
    gauge.buffers_.clear();
}

void PanelHost::SetUpMouseList(MouseRect* list, GaugeHeader* header, void* anchor) {
    Gauge& gauge = GaugeOfHeader(header, "SetUpMouseList");
    Log("SetUpMouseList", {Address(list), Address(header), Address(anchor)});
    gauge.mouse_list_ = list;
    gauge.mouse_anchor_ = anchor;
    gauge.mouse_active_ = false;
}

void PanelHost::StartMouseList(MouseRect* list, GaugeHeader* header) {
    Gauge& gauge = GaugeOfHeader(header, "StartMouseList");
    Log("StartMouseList", {Address(list), Address(header)});
    if (list != gauge.mouse_list_) HostFault("StartMouseList was given a list that SetUpMouseList never saw");
    gauge.mouse_active_ = true;
}

void PanelHost::EndMouseList(MouseRect* list, GaugeHeader* header) {
    Gauge& gauge = GaugeOfHeader(header, "EndMouseList");
    Log("EndMouseList", {Address(list), Address(header)});
    if (list == gauge.mouse_list_) gauge.mouse_active_ = false;
}

void PanelHost::SendKeyEvent(uint32_t event, uint32_t value) {
    Log("SendKeyEvent", {event, value});
    KeyEvent sent{event, value};
    events_.push_back(sent);
    ApplyKeyEvent(sent, variables_);
}

void PanelHost::InitialiseVariable(ModuleVar* var) {
    Log("InitialiseVariable", {Address(var), var->token});
    variables_.Fill(*var);
}

void PanelHost::RefreshVariable(ModuleVar* var) {
    Log("RefreshVariable", {Address(var), var->token});
    variables_.Fill(*var);
}

// ---------------------------------------------------------------------------

namespace {
// A module holds one gauge in its static records: the same library loaded
// twice in one process would share them.
std::set<const LinkageRecord*> gauges_in_process;
}  // namespace

Gauge::Gauge(PanelHost& host, const std::string& path) : host_(host), library_(path) {
    if (gauges_in_process.count(&library_.linkage()))
        throw LoadError("module " + path + " is loaded already; a module holds one gauge");
    if (!header().elements || !header().elements[0])
        throw LoadError("module " + path + ": the gauge has no root element");
    gauges_in_process.insert(&library_.linkage());
    // The table goes in before any routine of the module can run.
    library_.import_table().services = host_.services();
}

Gauge::~Gauge() {
    gauges_in_process.erase(&library_.linkage());
}

uint32_t Gauge::Query() {
    ActiveHost active(host_);
    return header().query();
}

void Gauge::Install(uint32_t value) {
    if (state_ == GaugeState::Installed || state_ == GaugeState::Running)
        throw std::logic_error("gauge " + name() + " is installed already");
    ActiveHost active(host_);
    header().install(value);
    state_ = GaugeState::Installed;
}

void Gauge::Initialise() {
    if (state_ != GaugeState::Installed) throw std::logic_error("gauge " + name() + " must be installed first");
    ActiveHost active(host_);
    header().initialise();
    state_ = GaugeState::Running;
}

void Gauge::Cycle() {
    if (state_ != GaugeState::Running) throw std::logic_error("gauge " + name() + " is not running");
    ActiveHost active(host_);
    header().update();
    RunCallbacks(root());
    header().generate(static_cast<uint32_t>(cycles_));
    header().draw();
    ++cycles_;
}

void Gauge::RunCallbacks(ElementHeader* root) {
    // Element variables are current from UpdateElements; each element's are
    // refreshed again just before its own callbacks, since an earlier
    // callback of the same cycle may have sent an event that changed them.
    for (ElementHeader* element : ElementsInOrder(root)) {
        for (ModuleVar* var : ElementVariables(element))
            if (var->token != 0) host_.variables_.Fill(*var);
        switch (element->kind) {
        case NeedleKind: {
            auto* needle = As<NeedleElement>(element);
            if (needle->callback) values_[&needle->source] = needle->callback(&needle->source);
            break;
        }
        case IconKind: {
            auto* icon = As<IconElement>(element);
            if (icon->callback) values_[&icon->source] = icon->callback(&icon->source);
            break;
        }
        case MovingImageKind: {
            auto* moving = As<MovingImageElement>(element);
            if (moving->callback) values_[&moving->source] = moving->callback(&moving->source);
            break;
        }
        case StringKind: {
            auto* text = As<StringElement>(element);
            double last = 0.0;
            for (int slot = 0; slot < StringSources; ++slot) {
                if (!text->source_callbacks[slot]) continue;
                last = text->source_callbacks[slot](&text->sources[slot]);
                values_[&text->sources[slot]] = last;
            }
            if (text->text_callback) values_[text] = text->text_callback(last);
            break;
        }
        default:
            break;
        }
    }
}

void Gauge::Kill() {
    if (state_ != GaugeState::Running) throw std::logic_error("gauge " + name() + " is not running");
    ActiveHost active(host_);
    header().kill();
    state_ = GaugeState::Killed;
    values_.clear();
}

std::optional<double> Gauge::CallbackValue(const ModuleVar* var) const {
    auto found = values_.find(var);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<double> Gauge::ElementValue(ElementHeader* element) const {
    switch (element->kind) {
    case NeedleKind: return CallbackValue(&As<NeedleElement>(element)->source);
    case IconKind: return CallbackValue(&As<IconElement>(element)->source);
    case MovingImageKind: return CallbackValue(&As<MovingImageElement>(element)->source);
    default: {
        auto found = values_.find(element);
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }
    }
}

std::vector<ElementHeader*> Gauge::BrokenTexts() {
    std::vector<ElementHeader*> broken;
    if (state_ != GaugeState::Installed && state_ != GaugeState::Running) return broken;
    for (ElementHeader* element : ElementsInOrder(root())) {
        if (element->kind != StringKind) continue;
        auto* text = As<StringElement>(element);
        bool terminated = std::memchr(text->text, '\0', size_t{text->max_chars} + 1) != nullptr;
        bool guarded = true;
        for (uint32_t i = 0; i < TextGuardBytes; ++i)
            guarded &= text->text[text->max_chars + 1 + i] == TextGuardFill;
        if (!terminated || !guarded) broken.push_back(element);
    }
    return broken;
}

std::string Gauge::Text(ElementHeader* element) const {
    auto* text = As<StringElement>(element);
    if (element->kind != StringKind || !text->text) return "";
    return std::string(text->text, strnlen(text->text, text->max_chars + 1));
}

}  // namespace panel
