// The navigation read-out in the middle window: mode legend, three-digit
// number, TO/FR/FLAG indication and the deviation bar. The host calls these
// callbacks in drawing order, so ReadObs and ReadRadial have stored this
// cycle's values before UpdateNavReadout runs, which in turn works on the
// signal state that ReadToFrom and ReadNavFlags left in the last cycle.
#include "radio.h"

int32_t NavMode = 0;
int32_t NavValid = 0;
int32_t LocActive = 0;
int32_t ToFromState = 0;
int32_t ObsDegrees = 0;
int32_t RadialDegrees = 0;
int32_t BearingDegrees = 0;

namespace {

constexpr int32_t ObsMode = 0;
constexpr int32_t BearingMode = 1;
constexpr int32_t RadialMode = 2;

constexpr int32_t NoSignalBit = 0x08;
constexpr int32_t LocalizerBit = 0x80;
constexpr int32_t UnitsPerDegree = 182;

// The number as "%03d" writes it: three digits, zero-filled. Anything that
// would not fit in the three characters of the window reads "---".
void WriteNumber(int32_t degrees) {
    char text[4] = "---";
    if (degrees >= 0 && degrees <= 999) {
        text[0] = static_cast<char>('0' + degrees / 100);
        text[1] = static_cast<char>('0' + degrees / 10 % 10);
        text[2] = static_cast<char>('0' + degrees % 10);
    }
    WriteText(NavNumberText, text);
}

void WriteIndication() {
    if (NavValid == 0) {
        WriteText(NavFlagText, "FLAG");
        return;
    }
    if (NavMode == ObsMode) {
        if (ToFromState == 1) WriteText(NavFlagText, "TO");
        if (ToFromState == 2) WriteText(NavFlagText, "FR");
        if (ToFromState == 0) WriteText(NavFlagText, " ");
    } else if (NavMode == BearingMode) {
        WriteText(NavFlagText, "TO");
    } else if (NavMode == RadialMode) {
        WriteText(NavFlagText, "FR");
    }
    if (LocActive == 1) {
        // A localizer forces OBS and brings the bars back.
        NavMode = ObsMode;
        WriteText(NavFlagText, " ");
        ShowDeviationBars(true);
    }
}

void WriteCourse() {
    RadialDegrees = RadialDegrees / UnitsPerDegree;
    BearingDegrees = RadialDegrees + 180;
    if (BearingDegrees > 360) BearingDegrees -= 360;
    if (NavMode == ObsMode) WriteNumber(ObsDegrees);
    if (NavMode == BearingMode) WriteNumber(BearingDegrees);
    if (NavMode == RadialMode) WriteNumber(RadialDegrees);
}

}  // namespace

double GAUGE_STDCALL ReadObs(ModuleVar* var) {
    ObsDegrees = TruncateToInt32(var->value.number);
    return var->value.number;
}

double GAUGE_STDCALL ReadRadial(ModuleVar* var) {
    RadialDegrees = TruncateToInt32(var->value.number);
    return var->value.number;
}

double GAUGE_STDCALL ReadToFrom(ModuleVar* var) {
    NavValid = 1;
    ToFromState = var->value.integer;
    return var->value.number;
}

double GAUGE_STDCALL ReadNavFlags(ModuleVar* var) {
    int32_t flags = var->value.integer;
    NavValid = (flags & NoSignalBit) == 0 ? 1 : 0;
    LocActive = (flags & LocalizerBit) != 0 ? 1 : 0;
    if (LocActive == 0) {
        static const char* const legends[] = {"OBS", "BRG", "RAD"};
        if (NavMode >= ObsMode && NavMode <= RadialMode) WriteText(NavModeText, legends[NavMode]);
    } else {
        WriteText(NavModeText, "   ");
    }
    return var->value.number;
}

double GAUGE_STDCALL UpdateNavReadout(ModuleVar* var) {
    // The display follows the power rule once in every cycle.
    if (!RadioHasPower()) {
        SwitchDisplayOff();
        return var->value.number;
    }
    SwitchDisplayOn();
    WriteIndication();
    if (NavValid == 1 && LocActive == 0) WriteCourse();
    if (LocActive == 1) WriteText(NavNumberText, "LOC");
    return var->value.number;
}

double GAUGE_STDCALL LeftBarValue(ModuleVar* var) {
    return NavValid == 0 ? 128.0 : var->value.number;
}

double GAUGE_STDCALL RightBarValue(ModuleVar* var) {
    return NavValid == 0 ? 0.0 : var->value.number + 128.0;
}
