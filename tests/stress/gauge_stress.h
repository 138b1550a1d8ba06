// Random steps against one gauge, with the invariants a gauge must keep
// whatever the host and the user do. The stress tests draw the steps from
// a seeded generator, the fuzz target from its input bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "panel_host.h"
#include "radio_environment.h"
#include "record_fingerprint.h"

// Where the choices come from.
class Chooser {
public:
    virtual ~Chooser() = default;
    // A whole number below bound (bound > 0).
    virtual uint32_t Below(uint32_t bound) = 0;
    virtual bool Exhausted() const { return false; }
};

class SeededChooser : public Chooser {
public:
    explicit SeededChooser(uint64_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t bound) override { return std::uniform_int_distribution<uint32_t>(0, bound - 1)(engine_); }

private:
    std::mt19937_64 engine_;
};

class BytesChooser : public Chooser {
public:
    BytesChooser(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t Below(uint32_t bound) override;
    bool Exhausted() const override { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

class GaugeStress {
public:
    // Loads and starts the module; with inject_faults (Linux build only) a
    // step may make a registry or shared-memory call fail.
    GaugeStress(const std::string& module_path, bool inject_faults);
    ~GaugeStress();

    // One random step; returns what it did, for a failure report.
    std::string Step(Chooser& chooser);
    // "" while every invariant holds, else the first that broke.
    std::string Check();

    panel::Gauge& gauge() { return *gauge_; }
    int steps() const { return steps_; }

private:
    std::string SetVariable(Chooser& chooser);
    std::string Click(Chooser& chooser);
    std::string ChangeBus(Chooser& chooser);
    std::string Restart();
    std::string InjectFault(Chooser& chooser);
    std::string DamageStoredValue(Chooser& chooser);
    bool ActiveInBand(uint32_t token);
    std::string CheckSavedStandby();

    panel::PanelHost host_;
    panel::Gauge* gauge_ = nullptr;
    std::unique_ptr<panel::PowerBus> bus_;
    bool radio_ = false;
    bool inject_faults_ = false;
    std::vector<uint32_t> tokens_;
    std::vector<size_t> may_hide_;
    Fingerprint baseline_;
    size_t events_seen_ = 0;
    bool standby_trusted_ = true;   // the standby frequencies are known to be in band
    bool actives_in_band_[2] = {};  // COM, NAV, just before the last step
    std::string pending_failure_;
    int steps_ = 0;
};
