// The radio's controls: its mouse list and the click handlers. Areas that
// differ only in their numbers share one handler family, instantiated per
// area from a small parameter record, since the host tells a handler
// nothing about which area it was called for.
#include "gauge_routines.h"
#include "radio.h"

uint16_t ComStep = 50;  // with StepKnobImage hidden, as the two stay from then on
int32_t IdentPulled = 0;

namespace {

constexpr uint32_t SetComActiveEvent = 65707;
constexpr uint32_t SetNavActiveEvent = 65708;
constexpr uint32_t IdentEvent = 65842;

constexpr FrequencyCount NavLow = 800;     // 108.00 MHz
constexpr FrequencyCount NavHigh = 1795;   // 117.95 MHz
constexpr FrequencyCount ComLow = 18000;   // 118.000 MHz
constexpr FrequencyCount ComHigh = 37000;  // 137.000 MHz, reached only in the standby window
constexpr FrequencyCount ComActiveHigh = 36975;

void Send(uint32_t event, uint32_t value) {
    HostServices()->SendKeyEvent(event, value);
}

FrequencyCode RefreshedCode(ModuleVar& var) {
    HostServices()->RefreshVariable(&var);
    return static_cast<FrequencyCode>(var.value.integer);
}

// ---- window areas that only ask the host ----------------------------------

enum class Refresh { None, ComActive, NavActive };

struct HostEventArea {
    uint32_t event;
    Refresh refresh;
    int32_t result;
};

template <HostEventArea Area>
int32_t GAUGE_STDCALL HostEventClick(void*, uint32_t) {
    if (RadioPowered != 1) return Area.result;
    if (Area.refresh == Refresh::ComActive) HostServices()->RefreshVariable(&ComActiveVar);
    if (Area.refresh == Refresh::NavActive) HostServices()->RefreshVariable(&NavActiveVar);
    Send(Area.event, 0);
    return Area.result;
}

constexpr HostEventArea CourseDown{65662, Refresh::None, 0};
constexpr HostEventArea CourseUp{65663, Refresh::None, 0};
constexpr HostEventArea ComWholeDown{65636, Refresh::ComActive, 1};
constexpr HostEventArea ComWholeUp{65637, Refresh::ComActive, 1};
constexpr HostEventArea ComFractionDown{65638, Refresh::ComActive, 1};
constexpr HostEventArea ComFractionUp{65639, Refresh::ComActive, 1};
constexpr HostEventArea NavWholeDown{65640, Refresh::NavActive, 1};
constexpr HostEventArea NavWholeUp{65641, Refresh::NavActive, 1};
constexpr HostEventArea NavFractionDown{65642, Refresh::NavActive, 1};
constexpr HostEventArea NavFractionUp{65643, Refresh::NavActive, 1};

// ---- standby windows: step and clamp at the band edges ---------------------

enum class Receiver { Nav, Com };

struct StandbyStep {
    Receiver receiver;
    FrequencyCount delta;  // in counts; for COM fine steps, the sign of ComStep
    bool by_com_step;
};

template <StandbyStep Step>
int32_t GAUGE_STDCALL StandbyStepClick(void*, uint32_t) {
    if (RadioPowered != 1) return 1;
    uint32_t& field = Step.receiver == Receiver::Nav ? Standby->navStandby : Standby->comStandby;
    FrequencyCount delta = Step.by_com_step ? Step.delta * ComStep : Step.delta;
    FrequencyCount low = Step.receiver == Receiver::Nav ? NavLow : ComLow;
    FrequencyCount high = Step.receiver == Receiver::Nav ? NavHigh : ComHigh;
    FrequencyCount count = 0;
    CodeToCount(field, &count);
    count += delta;
    if (delta < 0 && count < low) count = low;
    if (delta > 0 && count > high) count = high;
    CountToCode(count, &field);
    return 1;
}

constexpr StandbyStep ComStandbyWholeDown{Receiver::Com, -1000, false};
constexpr StandbyStep ComStandbyWholeUp{Receiver::Com, +1000, false};
constexpr StandbyStep ComStandbyFineDown{Receiver::Com, -1, true};
constexpr StandbyStep ComStandbyFineUp{Receiver::Com, +1, true};
constexpr StandbyStep NavStandbyWholeDown{Receiver::Nav, -100, false};
constexpr StandbyStep NavStandbyWholeUp{Receiver::Nav, +100, false};
constexpr StandbyStep NavStandbyFineDown{Receiver::Nav, -5, false};
constexpr StandbyStep NavStandbyFineUp{Receiver::Nav, +5, false};

// ---- tuning knobs: step the active frequency, wrapping round the band ------

struct ActiveStep {
    Receiver receiver;
    int32_t direction;  // -1 or +1
};

template <ActiveStep Step>
int32_t GAUGE_STDCALL ActiveStepClick(void*, uint32_t) {
    if (RadioPowered != 1) return 1;
    if (Step.receiver == Receiver::Nav) {
        FrequencyCount count = 0;
        CodeToCount(RefreshedCode(NavActiveVar), &count);
        count += 5 * Step.direction;
        if (Step.direction < 0 && count < NavLow) count = NavHigh;
        if (Step.direction > 0 && count > NavHigh) count = NavLow;
        FrequencyCode code = 0;
        CountToCode(count, &code);
        Send(SetNavActiveEvent, code);
    } else {
        FrequencyCount count = ComCodeToCount(RefreshedCode(ComActiveVar));
        count += ComStep * Step.direction;
        if (Step.direction < 0 && count < ComLow) count = ComHigh - ComStep;
        if (Step.direction > 0 && count > ComActiveHigh) count = ComLow;
        ComFineCode fine = 0;
        CountToCode(count, &fine);
        Send(SetComActiveEvent, ComFineToCode(fine));
    }
    return 1;
}

constexpr ActiveStep NavKnobDown{Receiver::Nav, -1};
constexpr ActiveStep NavKnobUp{Receiver::Nav, +1};
constexpr ActiveStep ComKnobDown{Receiver::Com, -1};
constexpr ActiveStep ComKnobUp{Receiver::Com, +1};

// ---- swap buttons ------------------------------------------------------

// Host variable 5 can refuse a swap: a multiple of 5 (0 included) does.
bool SwapRefused() {
    HostServices()->RefreshVariable(&Token5Var);
    if (TruncateToInt32(Token5Var.value.number) % 5 != 0) return false;
    WriteText(MessageText, "SWAP REFUSED");
    return true;
}

int32_t GAUGE_STDCALL NavSwapClick(void*, uint32_t) {
    if (!SwapRefused() && RadioPowered == 1) {
        FrequencyCode active = RefreshedCode(NavActiveVar);
        FrequencyCode old = Standby->navStandby;
        Standby->navStandby = active;
        WriteText(MessageText, "    ");
        Send(SetNavActiveEvent, old);
    }
    SaveStandbyFrequencies();
    return 1;
}

int32_t GAUGE_STDCALL ComSwapClick(void*, uint32_t) {
    if (!SwapRefused() && RadioPowered == 1) {
        FrequencyCode active = RefreshedCode(ComActiveVar);
        FrequencyCode old = ComFineToCode(Standby->comStandby);
        Standby->comStandby = ComCodeToFine(active);
        WriteText(MessageText, "    ");
        Send(SetComActiveEvent, old);
    }
    SaveStandbyFrequencies();
    return 1;
}

// ---- knobs and buttons -------------------------------------------------

int32_t GAUGE_STDCALL StepToggleClick(void*, uint32_t) {
    if (RadioPowered != 1) return 1;
    // The pulled-out knob picture shows while the step is 25 kHz.
    if (ComStep == 25) {
        ComStep = 50;
        HideElement(StepKnobImage.header);
    } else {
        ComStep = 25;
        ShowElement(StepKnobImage.header);
    }
    return 1;
}

int32_t GAUGE_STDCALL IdentKnobClick(void*, uint32_t) {
    if (RadioPowered != 1) return 1;
    Send(IdentEvent, 0);
    if (IdentPulled == 0) {
        ShowElement(IdentKnobImage.header);
        IdentPulled = 1;
    } else {
        HideElement(IdentKnobImage.header);
        IdentPulled = 0;
    }
    return 1;
}

// MODE steps OBS, BRG, RAD with the primary click and back with the
// secondary one; a received localizer holds it. The bars show in OBS only.
int32_t GAUGE_STDCALL ModeButtonClick(void*, uint32_t flags) {
    if (RadioPowered != 1) return 0;
    if (LocActive == 0) {
        if (flags & MousePrimaryClick)
            NavMode = NavMode < 2 ? NavMode + 1 : 0;
        else
            NavMode = NavMode > 0 ? NavMode - 1 : 2;
    }
    ShowDeviationBars(NavMode == 0);
    return 0;
}

constexpr uint32_t Primary = MousePrimaryClick;
constexpr uint32_t PrimaryAndSecondary = MousePrimaryClick | MouseSecondaryClick;
constexpr uint32_t PrimaryHostOption = MousePrimaryClick | MouseHostOption;

constexpr int32_t Lowers = 2;  // cursor of the left half of a pair
constexpr int32_t Raises = 1;  // cursor of the right half
constexpr int32_t Button = 5;

#define AREA(x, y, w, h, cursor_number, flags, click) \
    {                                                   \
        .kind = MouseArea,                              \
        .box_x = x,                                     \
        .box_y = y,                                     \
        .box_width = w,                                 \
        .box_height = h,                                \
        .cursor = cursor_number,                        \
        .mouse_flags = flags,                           \
        .handler = click,                               \
    }

}  // namespace

MouseRect RadioMouse[] = {
    MOUSE_GROUP_START,
    //    x    y    w   h  cursor  flags                handler
    AREA(19, 100, 90, 40, Button, Primary, PowerKnobClick),                              // 1 power knob
    AREA(225, 100, 60, 40, Button, PrimaryAndSecondary, ModeButtonClick),                // 2 MODE
    AREA(180, 60, 60, 25, Button, PrimaryHostOption, HostEventClick<CourseDown>),        // 3 centre, lower left
    AREA(240, 60, 60, 25, Button, PrimaryHostOption, HostEventClick<CourseUp>),          // 4 centre, lower right
    AREA(34, 16, 30, 45, Lowers, Primary, HostEventClick<ComWholeDown>),                 // 5 COM active MHz
    AREA(65, 16, 30, 45, Raises, Primary, HostEventClick<ComWholeUp>),                   // 6
    AREA(100, 16, 20, 45, Lowers, Primary, HostEventClick<ComFractionDown>),             // 7 COM active fraction
    AREA(125, 16, 20, 45, Raises, Primary, HostEventClick<ComFractionUp>),               // 8
    AREA(34, 50, 30, 45, Lowers, Primary, StandbyStepClick<ComStandbyWholeDown>),        // 9 COM standby MHz
    AREA(65, 50, 30, 45, Raises, Primary, StandbyStepClick<ComStandbyWholeUp>),          // 10
    AREA(100, 50, 20, 45, Lowers, Primary, StandbyStepClick<ComStandbyFineDown>),        // 11 COM standby fraction
    AREA(125, 50, 20, 45, Raises, Primary, StandbyStepClick<ComStandbyFineUp>),          // 12
    AREA(2, 25, 25, 40, Button, Primary, ComSwapClick),                                  // 13 COM swap
    AREA(358, 16, 30, 45, Lowers, Primary, HostEventClick<NavWholeDown>),                // 14 NAV active MHz
    AREA(389, 16, 30, 45, Raises, Primary, HostEventClick<NavWholeUp>),                  // 15
    AREA(424, 16, 20, 45, Lowers, Primary, HostEventClick<NavFractionDown>),             // 16 NAV active fraction
    AREA(449, 16, 20, 45, Raises, Primary, HostEventClick<NavFractionUp>),               // 17
    AREA(358, 50, 30, 45, Lowers, Primary, StandbyStepClick<NavStandbyWholeDown>),       // 18 NAV standby MHz
    AREA(389, 50, 30, 45, Raises, Primary, StandbyStepClick<NavStandbyWholeUp>),         // 19
    AREA(424, 50, 20, 45, Lowers, Primary, StandbyStepClick<NavStandbyFineDown>),        // 20 NAV standby fraction
    AREA(449, 50, 20, 45, Raises, Primary, StandbyStepClick<NavStandbyFineUp>),          // 21
    AREA(477, 25, 25, 40, Button, Primary, NavSwapClick),                                // 22 NAV swap
    AREA(415, 100, 25, 50, Lowers, PrimaryHostOption, ActiveStepClick<NavKnobDown>),     // 23 NAV knob
    AREA(463, 100, 25, 50, Raises, PrimaryHostOption, ActiveStepClick<NavKnobUp>),       // 24
    AREA(130, 100, 25, 50, Lowers, PrimaryHostOption, ActiveStepClick<ComKnobDown>),     // 25 COM knob
    AREA(156, 100, 20, 50, Button, PrimaryHostOption, StepToggleClick),                  // 26 COM knob centre
    AREA(177, 100, 25, 50, Raises, PrimaryHostOption, ActiveStepClick<ComKnobUp>),       // 27
    AREA(293, 112, 70, 50, Button, Primary, IdentKnobClick),                             // 28 IDENT
    MOUSE_GROUP_END,
    MOUSE_LIST_END,
};

static_assert(sizeof RadioMouse / sizeof RadioMouse[0] == 31);

#undef AREA
