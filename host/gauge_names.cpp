#include "gauge_names.h"

#include <cstdlib>
#include <map>
#include <vector>

#include "element_tree.h"

namespace panel {

namespace {

// In drawing order, by gauge name.
const std::map<std::string, std::vector<std::string>>& KnownGauges() {
    static const std::map<std::string, std::vector<std::string>> gauges = {
        {"ORIM_TR410",
         {"FaceImage", "NavActiveText", "NavStandbyText", "ComStandbyText", "IdentKnobImage", "PowerKnobImage",
          "StepKnobImage", "NavNumberText", "NavModeText", "NavFlagText", "ComActiveText", "DeviationBarRight",
          "DeviationBarLeft", "LcdOffImage", "MessageText"}},
        {"QAV_Airspeed_US_450", {"AirspeedBezelImage", "AirspeedFaceIcon", "AirspeedNeedle"}},
        {"QAV_98_200L_Fuel_Quantity", {"FuelBezelImage", "FuelFaceIcon", "FuelNeedle"}},
    };
    return gauges;
}

const std::vector<std::string>* NamesOf(Gauge& gauge, size_t count) {
    auto found = KnownGauges().find(gauge.name());
    if (found == KnownGauges().end() || found->second.size() != count) return nullptr;
    return &found->second;
}

}  // namespace

std::string ElementName(Gauge& gauge, ElementHeader* element) {
    auto elements = ElementsInOrder(gauge.root());
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] != element) continue;
        if (auto* names = NamesOf(gauge, elements.size())) return (*names)[i];
        return "element " + std::to_string(i);
    }
    return "unknown element";
}

ElementHeader* FindElement(Gauge& gauge, const std::string& name) {
    auto elements = ElementsInOrder(gauge.root());
    if (name.size() > 1 && name[0] == '#') {
        char* end = nullptr;
        long index = std::strtol(name.c_str() + 1, &end, 10);
        if (*end || index < 0 || index >= static_cast<long>(elements.size())) return nullptr;
        return elements[static_cast<size_t>(index)];
    }
    if (auto* names = NamesOf(gauge, elements.size()))
        for (size_t i = 0; i < names->size(); ++i)
            if ((*names)[i] == name) return elements[i];
    return nullptr;
}

}  // namespace panel
