#include "gauge_stress.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "element_tree.h"
#include "windows_api.h"

#if !defined(_WIN32)
#include "standin_control.h"
#endif

uint32_t BytesChooser::Below(uint32_t bound) {
    uint32_t value = 0;
    for (int i = 0; i < 4 && at_ < size_; ++i) value = value << 8 | data_[at_++];
    return value % bound;
}

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// Values that break careless code, plus frequency codes near the bands.
const double HardValues[] = {
    0, 1, -1, 0.5, -0.5, Nan, Inf, -Inf, 1e300, -1e300, 2147483647.0, -2147483648.0, 4294967295.0,
    2147483648.0, -2147483649.0, 5, 10, 7, 2, 0x0800, 0x1795, 0x0795, 0x1800, 0x1802, 0x1807, 0x3697, 0x3700,
    0x1FFF, 0xABCD, 0x9999, 0x08, 0x80, 0x88, 1, 2, 32760, 32942, 65535, 181, 128, -128, 40, -40, 9634933,
    4817466, -9634933,
};

bool Decimal(uint32_t code) {
    for (int i = 0; i < 8; ++i)
        if (((code >> (4 * i)) & 0xF) > 9) return false;
    return true;
}

int Count(uint32_t code) {
    int count = 0;
    for (int i = 7; i >= 0; --i) count = count * 10 + int((code >> (4 * i)) & 0xF);
    return count;
}

// The four digits of a FrequencyCode: COM 118.00 to 137.00, NAV 108.00 to
// 117.95. Digits above them are left aside: the default COM standby
// carries its leading 1 there, and a swap hands it on.
bool InBand(uint32_t code, bool com) {
    code &= 0xFFFF;
    if (!Decimal(code)) return false;
    int count = Count(code);
    return com ? count >= 1800 && count <= 3700 : count >= 800 && count <= 1795;
}

// The five digits of a ComFineCode: 118.000 to 137.000.
bool ComFineInBand(uint32_t fine) {
    fine &= 0xFFFFF;
    if (!Decimal(fine)) return false;
    int count = Count(fine);
    return count >= 18000 && count <= 37000;
}

std::string Describe(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

GaugeStress::GaugeStress(const std::string& module_path, bool inject_faults) {
    gauge_ = &host_.Load(module_path);
    radio_ = gauge_->name() == "ORIM_TR410";
    inject_faults_ = inject_faults;
    for (ElementHeader* element : panel::ElementsInOrder(gauge_->root()))
        for (ModuleVar* var : panel::ElementVariables(element))
            if (var->token && std::find(tokens_.begin(), tokens_.end(), var->token) == tokens_.end())
                tokens_.push_back(var->token);
    if (gauge_->name() == "QAV_98_200L_Fuel_Quantity") tokens_.push_back(0x123);
    if (radio_) {
        // The radio's icons, cover and bars may show and hide themselves.
        may_hide_ = {4, 5, 6, 11, 12, 13};
        bus_ = std::make_unique<panel::PowerBus>();
        bus_->Set(1, 1, 0);
        panel::StoreStandby(0x1080, 0x18025);
        host_.variables().Set(5, 2);
        host_.variables().Set(0x17, 0x1800);
        host_.variables().Set(0x18, 0x1000);
    }
    gauge_->Start();
    if (radio_) {
        // What the radio holds is what it saves: a module that stayed
        // loaded may still hold frequencies of an earlier run.
        gauge_->Kill();
        standby_trusted_ = true;
        CheckSavedStandby();
        gauge_->Start();
    }
    baseline_ = TakeFingerprint(*gauge_, may_hide_);
}

GaugeStress::~GaugeStress() {
#if !defined(_WIN32)
    standin::ClearFaults();
#endif
}

bool GaugeStress::ActiveInBand(uint32_t token) {
    // An active frequency is a four-digit code: nothing above the digits.
    auto code = static_cast<uint32_t>(host_.variables().GetInteger(token));
    return code <= 0xFFFF && InBand(code, token == 0x17);
}

std::string GaugeStress::Step(Chooser& chooser) {
    ++steps_;
    actives_in_band_[0] = ActiveInBand(0x17);
    actives_in_band_[1] = ActiveInBand(0x18);
    uint32_t kind = chooser.Below(100);
    if (gauge_->state() != panel::GaugeState::Running) return Restart();
    if (kind < 30) return SetVariable(chooser);
    if (kind < 55) {
        gauge_->Cycle();
        return "cycle";
    }
    if (kind < 80) return Click(chooser);
    if (kind < 87) return ChangeBus(chooser);
    if (kind < 92) return Restart();
    if (kind < 97) return InjectFault(chooser);
    return DamageStoredValue(chooser);
}

std::string GaugeStress::SetVariable(Chooser& chooser) {
    uint32_t token = tokens_[chooser.Below(static_cast<uint32_t>(tokens_.size()))];
    constexpr uint32_t hard = sizeof HardValues / sizeof HardValues[0];
    uint32_t pick = chooser.Below(hard + 2);
    double value = pick < hard ? HardValues[pick]
                   : pick == hard ? (double(chooser.Below(2000001)) - 1000000.0) / 8.0
                                  : double(chooser.Below(0x10000));
    host_.variables().Set(token, value);
    // A swap copies an active frequency into the standby ones.
    if ((token == 0x17 || token == 0x18) && !ActiveInBand(token)) standby_trusted_ = false;
    return "set " + panel::TokenLabel(token) + " " + Describe(value);
}

std::string GaugeStress::Click(Chooser& chooser) {
    int x = int(chooser.Below(540)) - 20;
    int y = int(chooser.Below(200)) - 20;
    bool secondary = chooser.Below(4) == 0;
    // Half the clicks go straight to an area, so that every control is used.
    if (chooser.Below(2) == 0 && gauge_->mouse_list()) {
        MouseRect* list = gauge_->mouse_list();
        int count = 0;
        while (list[count].kind != MouseListEnd) ++count;
        const MouseRect& area = list[chooser.Below(uint32_t(count))];
        if (area.kind == MouseArea) {
            x = area.box_x + int(chooser.Below(uint32_t(area.box_width)));
            y = area.box_y + int(chooser.Below(uint32_t(area.box_height)));
        }
    }
    gauge_->Click(x, y, secondary ? panel::MouseButton::Secondary : panel::MouseButton::Primary);
    return "click " + std::to_string(x) + "," + std::to_string(y) + (secondary ? " secondary" : "");
}

std::string GaugeStress::ChangeBus(Chooser& chooser) {
    if (!bus_) return "no bus";
    const int32_t values[] = {1, 1, 1, 0, 2, -1, 4321};
    int32_t c1 = values[chooser.Below(7)], c2 = values[chooser.Below(7)];
    int32_t mark = chooser.Below(3) ? 4321 : int32_t(chooser.Below(5000));
    bus_->Set(c1, c2, mark);
    return "bus " + std::to_string(c1) + " " + std::to_string(c2) + " " + std::to_string(mark);
}

std::string GaugeStress::Restart() {
    if (gauge_->state() == panel::GaugeState::Running) {
#if !defined(_WIN32)
        // With a registry call set to fail, the save may not happen and the
        // stored value need not be what the radio holds.
        bool saved_for_sure = !standin::FaultsPending();
#else
        bool saved_for_sure = true;
#endif
        gauge_->Kill();
        if (saved_for_sure)
            pending_failure_ = CheckSavedStandby();
        else
            standby_trusted_ = false;
    }
    gauge_->Start();
    return "kill and start";
}

std::string GaugeStress::InjectFault(Chooser& chooser) {
#if defined(_WIN32)
    (void)chooser;
    return "no fault (Windows)";
#else
    if (!inject_faults_ || !radio_) return "no fault";
    auto call = static_cast<standin::Call>(chooser.Below(static_cast<uint32_t>(standin::Call::Count)));
    int times = int(chooser.Below(3)) + 1;
    standin::FailCall(call, times);
    return std::string("fail ") + standin::CallName(call) + " " + std::to_string(times) + " times";
#endif
}

std::string GaugeStress::DamageStoredValue(Chooser& chooser) {
    if (!radio_) return "no stored value";
    std::vector<uint8_t> bytes(chooser.Below(17));
    for (auto& byte : bytes) byte = static_cast<uint8_t>(chooser.Below(256));
    const DWORD types[] = {REG_BINARY, REG_BINARY, REG_DWORD, REG_SZ};
    DWORD type = types[chooser.Below(4)];
    try {
        panel::StoreValue(type, bytes);
    } catch (const std::runtime_error&) {
        // a registry call set to fail: nothing stored
    }
    standby_trusted_ = false;
    return "stored " + std::to_string(bytes.size()) + " bytes of type " + std::to_string(type);
}

std::string GaugeStress::CheckSavedStandby() {
    if (!radio_) return "";
    auto stored = panel::ReadStoredValue();
    if (!stored || stored->bytes.size() != 8 || stored->type != REG_BINARY) return "";
    uint32_t nav = 0, com = 0;
    std::memcpy(&nav, stored->bytes.data(), 4);
    std::memcpy(&com, stored->bytes.data() + 4, 4);
    bool in_band = InBand(nav, false) && nav <= 0xFFFF && ComFineInBand(com);
    std::string failure;
    if (standby_trusted_ && !in_band)
        failure = "saved standby frequencies left their band: nav 0x" + std::to_string(nav) + " com " + std::to_string(com);
    // Whatever was saved in band is what the next start reads; a swap may
    // still bring in an active frequency that lies outside.
    standby_trusted_ = in_band && ActiveInBand(0x17) && ActiveInBand(0x18);
    return failure;
}

std::string GaugeStress::Check() {
    if (!pending_failure_.empty()) return pending_failure_;
    if (TakeFingerprint(*gauge_, may_hide_, false).words != baseline_.words)
        return "a record was written: " + FirstDifference(baseline_, TakeFingerprint(*gauge_, may_hide_, false));
    for (ElementHeader* broken : gauge_->BrokenTexts())
        return "text element at (" + std::to_string(broken->position.x) + ", " + std::to_string(broken->position.y) +
               ") lost its NUL or wrote past its buffer";

    if (gauge_->state() == panel::GaugeState::Running) {
        auto elements = panel::ElementsInOrder(gauge_->root());
        for (ElementHeader* element : elements) {
            if (element->kind != NeedleKind) continue;
            auto value = gauge_->ElementValue(element);
            if (!value) continue;
            if (std::isnan(*value)) return "a needle value is not a number";
            if (gauge_->name() == "QAV_Airspeed_US_450" && (*value < 0.0 || *value > 450.0))
                return "the airspeed needle left 0 to 450: " + Describe(*value);
            if (gauge_->name() == "QAV_98_200L_Fuel_Quantity" && *value > 1.0)
                return "the fuel needle went past full: " + Describe(*value);
        }
    }

    const auto& events = host_.events();
    for (; events_seen_ < events.size(); ++events_seen_) {
        const panel::KeyEvent& event = events[events_seen_];
        bool com = event.event == 65707;
        if (!com && event.event != 65708) continue;
        // A knob sends the stepped active frequency, a swap the standby one.
        if (actives_in_band_[com ? 0 : 1] && standby_trusted_ && !InBand(event.value, com))
            return "event " + std::to_string(event.event) + " carried " + std::to_string(event.value) +
                   ", outside its band";
    }
    host_.ClearLogs();
    events_seen_ = 0;
    return "";
}
