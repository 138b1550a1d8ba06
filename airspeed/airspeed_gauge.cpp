// QAV_Airspeed_US_450: the host's airspeed in knots shown in km/h on a
// nonlinear 0 to 450 dial. Bezel, dial face and needle, chained in that
// order so each is drawn over the one before.
#include <bit>
#include <cmath>

#include "gauge_routines.h"
#include "module_linkage.h"
#include "scale_table.h"

namespace {

// Knots to km/h, the double nearest to 1.852.
constexpr double KnotsToKmh = std::bit_cast<double>(0x3FFDA1CAC083126Full);
constexpr double DialMaximum = 450.0;

// How the needle's value is converted: 0.0 knots to km/h, 1.0 doubled,
// anything else unconverted. Nothing changes it: the gauge shows km/h.
double AirspeedUnitsSelector = 0.0;

double GAUGE_STDCALL AirspeedNeedleValue(ModuleVar* source) {
    double speed = source->value.number;
    if (AirspeedUnitsSelector == 1.0)
        speed = speed + speed;
    else if (AirspeedUnitsSelector == 0.0)
        speed = speed * KnotsToKmh;
    if (speed > DialMaximum) return DialMaximum;
    if (speed < 0.0 || std::isnan(speed)) return 0.0;
    return speed;
}

// The face's picture follows the units selector: always picture 0.
double GAUGE_STDCALL AirspeedFaceValue(ModuleVar*) {
    return AirspeedUnitsSelector;
}

extern GaugeHeader AirspeedHeader;

NonlinearityEntry AirspeedScale[] = {
#include "airspeed_scale.inc"
};

FailureRecord AirspeedNeedleFailures[] = {
    {.failure = 6, .action = 1},
    {},
};

NeedleElement AirspeedNeedle = {
    .header = {
        .kind = NeedleKind,
        .image_id = 0x1200,
        .position = {75, 75},
        .offset = {27, 5},
        .gauge = &AirspeedHeader,
        .failures = AirspeedNeedleFailures,
        .image_flags = 0x4003,
    },
    .source = {.token = 0x3D},
    .callback = AirspeedNeedleValue,
    .tip_point = {59, 5},
    .scale = AirspeedScale,
    .scale_count = sizeof AirspeedScale / sizeof AirspeedScale[0],
};

ElementHeader* AirspeedFaceChildren[] = {&AirspeedNeedle.header, nullptr};

IconElement AirspeedFaceIcon = {
    .header = {
        .kind = IconKind,
        .image_id = 0x1100,
        .position = {0, 0},
        .gauge = &AirspeedHeader,
        .children = AirspeedFaceChildren,
        .image_flags = 0x4003,
    },
    .source = {.token = 0x14F},
    .callback = AirspeedFaceValue,
    .image_count = 2,
};

ElementHeader* AirspeedBezelChildren[] = {&AirspeedFaceIcon.header, nullptr};

StaticImageElement AirspeedBezelImage = {
    .header = {
        .kind = StaticImageKind,
        .image_id = 0x1000,
        .position = {0, 0},
        .gauge = &AirspeedHeader,
        .children = AirspeedBezelChildren,
        .image_flags = 0x3,
    },
};

ElementHeader* AirspeedElements[] = {&AirspeedBezelImage.header, nullptr};

MouseRect AirspeedMouse[] = {
    MOUSE_GROUP_START,
    MOUSE_GROUP_END,
    MOUSE_LIST_END,
};

const GaugeFrame AirspeedFrame = {
    .header = &AirspeedHeader,
    .mouse_list = AirspeedMouse,
};

GaugeHeader AirspeedHeader = {
    .version = GaugeVersion,
    .name = "QAV_Airspeed_US_450",
    .elements = AirspeedElements,
    GAUGE_STANDARD_ROUTINES(AirspeedFrame),
    .gauge_size = 100,
};

static_assert(sizeof AirspeedScale / sizeof AirspeedScale[0] == 14);

}  // namespace

GAUGE_LINKAGE(AirspeedHeader)
