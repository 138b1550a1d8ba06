// QAV_98_200L_Fuel_Quantity: the sum of two host quantities on a 0 to 200
// litre arc. Bezel, dial face and needle, chained in that order so each is
// drawn over the one before.
#include <bit>
#include <cmath>

#include "gauge_routines.h"
#include "module_linkage.h"
#include "scale_table.h"

namespace {

// Host units to a fraction of the full 200 litres: the double nearest to
// 1.03789e-7, so about 9,634,932.4 units fill the tank.
constexpr double UnitsToFullScale = std::bit_cast<double>(0x3E7BDC5365B9A3DAull);

// The second quantity is not bound to the needle; it is read here.
ModuleVar FuelSecondVar = {.token = 0x123};

double GAUGE_STDCALL FuelNeedleValue(ModuleVar* source) {
    double first = source->value.number;
    HostServices()->RefreshVariable(&FuelSecondVar);
    double fraction = (first + FuelSecondVar.value.number) * UnitsToFullScale;
    // A sum that is not a number would reach the host as a needle angle.
    if (std::isnan(fraction)) return 0.0;
    if (fraction > 1.0) return 1.0;
    // No lower limit: a negative value goes below the empty mark.
    return fraction;
}

extern GaugeHeader FuelHeader;

NonlinearityEntry FuelScale[] = {
#include "fuel_scale.inc"
};

FailureRecord FuelNeedleFailures[] = {
    {.failure = 1, .action = 2},
    {},
};

NeedleElement FuelNeedle = {
    .header = {
        .kind = NeedleKind,
        .image_id = 0x1400,
        .position = {75, 91},
        .offset = {0, 2},
        .gauge = &FuelHeader,
        .failures = FuelNeedleFailures,
        .image_flags = 0x4003,
    },
    .source = {.token = 0x129},
    .callback = FuelNeedleValue,
    .tip_point = {50, 2},
    .scale = FuelScale,
    .scale_count = sizeof FuelScale / sizeof FuelScale[0],
};

ElementHeader* FuelFaceChildren[] = {&FuelNeedle.header, nullptr};

// One picture, no variable, no callback: always the 0 to 200 litre face.
IconElement FuelFaceIcon = {
    .header = {
        .kind = IconKind,
        .image_id = 0x1200,
        .position = {0, 0},
        .gauge = &FuelHeader,
        .children = FuelFaceChildren,
        .image_flags = 0x4003,
    },
    .image_count = 1,
};

ElementHeader* FuelBezelChildren[] = {&FuelFaceIcon.header, nullptr};

StaticImageElement FuelBezelImage = {
    .header = {
        .kind = StaticImageKind,
        .image_id = 0x1000,
        .position = {0, 0},
        .gauge = &FuelHeader,
        .children = FuelBezelChildren,
        .image_flags = 0x3,
    },
};

ElementHeader* FuelElements[] = {&FuelBezelImage.header, nullptr};

MouseRect FuelMouse[] = {
    MOUSE_GROUP_START,
    MOUSE_GROUP_END,
    MOUSE_LIST_END,
};

const GaugeFrame FuelFrame = {
    .header = &FuelHeader,
    .mouse_list = FuelMouse,
};

GaugeHeader FuelHeader = {
    .version = GaugeVersion,
    .name = "QAV_98_200L_Fuel_Quantity",
    .elements = FuelElements,
    GAUGE_STANDARD_ROUTINES(FuelFrame),
    .gauge_size = 100,
};

static_assert(sizeof FuelScale / sizeof FuelScale[0] == 8);

}  // namespace

GAUGE_LINKAGE(FuelHeader)
