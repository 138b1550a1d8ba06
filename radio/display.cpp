// The radio's display: the four frequency texts, and the switch between a
// lit display and the dark cover.
#include <cstring>
#include <initializer_list>

#include "gauge_routines.h"
#include "radio.h"

int32_t RadioPowered = 1;

// Only ImageHidden is ever changed; every other drawing bit stays as declared.
void ShowElement(ElementHeader& element) {
    element.image_flags &= ~ImageHidden;
}

void HideElement(ElementHeader& element) {
    element.image_flags |= ImageHidden;
}

void ShowDeviationBars(bool shown) {
    for (ElementHeader* bar : {&DeviationBarLeft.header, &DeviationBarRight.header})
        shown ? ShowElement(*bar) : HideElement(*bar);
}

void WriteText(StringElement& element, const char* text) {
    size_t length = std::strlen(text);
    if (length > element.max_chars) length = element.max_chars;
    std::memcpy(element.text, text, length);
    element.text[length] = '\0';
}

void SwitchDisplayOff() {
    if (RadioPowered != 1) return;
    ShowElement(LcdOffImage.header);
    ShowDeviationBars(false);
    RadioPowered = 0;
}

void SwitchDisplayOn() {
    if (RadioPowered != 0) return;
    HideElement(LcdOffImage.header);
    ShowDeviationBars(true);
    RadioPowered = 1;
}

void RadioUpdate() {
    HostServices()->RefreshVariable(&NavActiveVar);
    HostServices()->RefreshVariable(&ComActiveVar);
}

namespace {

FrequencyCode ActiveCode(ModuleVar& var) {
    HostServices()->RefreshVariable(&var);
    return static_cast<FrequencyCode>(var.value.integer);
}

}  // namespace

// Each text callback writes its window only while the display is lit; the
// codes leave the leading 1 off, so it is put back for display.
double GAUGE_STDCALL ShowNavActive(double value) {
    if (RadioPowered == 1) FormatFrequency(ActiveCode(NavActiveVar) | LeadingOne, NavActiveText.text);
    return value;
}

double GAUGE_STDCALL ShowNavStandby(double value) {
    if (RadioPowered == 1) FormatFrequency(Standby->navStandby | LeadingOne, NavStandbyText.text);
    return value;
}

double GAUGE_STDCALL ShowComActive(double value) {
    if (RadioPowered == 1) FormatFrequency(ActiveCode(ComActiveVar) | LeadingOne, ComActiveText.text);
    return value;
}

double GAUGE_STDCALL ShowComStandby(double value) {
    if (RadioPowered == 1) FormatFrequency(ComFineToCode(Standby->comStandby) | LeadingOne, ComStandbyText.text);
    return value;
}

double GAUGE_STDCALL PassValue(ModuleVar* var) {
    return var->value.number;
}
