// A fixture for the radio: a host with the radio loaded, the test's own view
// of the power bus, and the radio's registry value, each kept apart from
// other test runs (in the Linux build through the stand-in's private
// registry file and shared-memory names; under Wine the tests of this
// program run one at a time).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "element_tree.h"
#include "panel_host.h"
#include "radio_environment.h"
#include "windows_api.h"

struct Bus {
    int32_t powerCondition1;
    int32_t powerCondition2;
    int32_t unused;
    int32_t initMark;
};

// The radio's elements in tree order.
enum RadioElement {
    Face,
    NavActive,
    NavStandby,
    ComStandby,
    IdentKnob,
    PowerKnob,
    StepKnob,
    NavNumber,
    NavModeLegend,
    NavFlag,
    ComActive,
    BarRight,
    BarLeft,
    LcdOff,
    Message,
};

// Areas of the radio's mouse list, by their index.
enum RadioArea {
    PowerArea = 1,
    ModeArea = 2,
    CourseDownArea = 3,
    CourseUpArea = 4,
    ComWholeDownArea = 5,
    ComStandbyWholeDownArea = 9,
    ComStandbyWholeUpArea = 10,
    ComStandbyFineDownArea = 11,
    ComStandbyFineUpArea = 12,
    ComSwapArea = 13,
    NavWholeDownArea = 14,
    NavStandbyWholeDownArea = 18,
    NavStandbyWholeUpArea = 19,
    NavStandbyFineDownArea = 20,
    NavStandbyFineUpArea = 21,
    NavSwapArea = 22,
    NavKnobDownArea = 23,
    NavKnobUpArea = 24,
    ComKnobDownArea = 25,
    StepToggleArea = 26,
    ComKnobUpArea = 27,
    IdentArea = 28,
};

class RadioTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the radio (once) and installs and initialises it.
    void Start();
    void Kill();
    void Cycle(int cycles = 1);
    // A click in the middle of the area with this index.
    std::optional<int32_t> ClickArea(int area, panel::MouseButton button = panel::MouseButton::Primary);

    ElementHeader* Element(RadioElement element);
    std::string Text(RadioElement element);
    bool Hidden(RadioElement element);
    double Value(RadioElement element);
    std::vector<panel::KeyEvent> Events() const { return host.events(); }
    int ServiceCount(const std::string& service, uint32_t token) const;

    // The bus as the test sees it through its own mapping.
    Bus& bus() { return *bus_; }
    // Sets the bus to a writer's state: initMark 4321 and the two conditions.
    void WriteBus(int32_t condition1, int32_t condition2);

    std::optional<panel::StoredValue> Stored() { return panel::ReadStoredValue(); }
    void Store(DWORD type, const std::vector<uint8_t>& bytes);
    void StoreStandby(uint32_t nav, uint32_t com);

    panel::PanelHost host;
    panel::Gauge* radio = nullptr;

private:
    HANDLE bus_mapping_ = nullptr;
    Bus* bus_ = nullptr;
};
