// What the radio's parts share: its elements, its state and the routines
// one part calls in another. Everything here lives as long as the module.
#pragma once

#include <cstdint>

#include "frequency.h"
#include "gauge_records.h"

// ---- elements (radio_gauge.cpp) --------------------------------------------
extern GaugeHeader RadioHeader;
extern StaticImageElement FaceImage;
extern StringElement NavActiveText;
extern StringElement NavStandbyText;
extern StringElement ComActiveText;
extern StringElement ComStandbyText;
extern StringElement NavNumberText;
extern StringElement NavModeText;
extern StringElement NavFlagText;
extern StringElement MessageText;
extern MovingImageElement DeviationBarLeft;
extern MovingImageElement DeviationBarRight;
extern StaticImageElement LcdOffImage;
extern StaticImageElement IdentKnobImage;
extern StaticImageElement PowerKnobImage;
extern StaticImageElement StepKnobImage;
extern MouseRect RadioMouse[];

// The host's active frequencies, read through records of the radio's own.
extern ModuleVar NavActiveVar;  // token 0x18
extern ModuleVar ComActiveVar;  // token 0x17

// ---- element switching (display.cpp) ----------------------------------------
void ShowElement(ElementHeader& element);
void HideElement(ElementHeader& element);
// Both halves of the deviation bar together.
void ShowDeviationBars(bool shown);
// Copies a text into a text element's buffer, cut to what the element holds.
void WriteText(StringElement& element, const char* text);

// ---- display (display.cpp) ------------------------------------------------
extern int32_t RadioPowered;  // 1 while the display is lit
void SwitchDisplayOn();
void SwitchDisplayOff();
void RadioUpdate();  // the radio's step after UpdateElements

double GAUGE_STDCALL ShowNavActive(double value);
double GAUGE_STDCALL ShowNavStandby(double value);
double GAUGE_STDCALL ShowComActive(double value);
double GAUGE_STDCALL ShowComStandby(double value);
double GAUGE_STDCALL PassValue(ModuleVar* var);

// ---- power and persistence (power.cpp, settings.cpp) -------------------------
struct PowerBusBlock {
    int32_t powerCondition1;
    int32_t powerCondition2;
    int32_t unused;
    int32_t initMark;
};
static_assert(sizeof(PowerBusBlock) == 16);

constexpr int32_t PowerBusInitMark = 4321;

extern int32_t PowerSwitch;  // 1 while the radio's own knob is on
extern ModuleVar Token5Var;  // token 5
extern StandbyFrequencies* Standby;  // from initialise to kill

// The power rule: both bus conditions met and the radio's knob on.
bool BusHasPower();
bool RadioHasPower();

void RadioInitialise();  // the radio's steps after InitialiseElements
void RadioKill();        // the radio's steps before the mouse list is ended
int32_t GAUGE_STDCALL PowerKnobClick(void* host_data, uint32_t flags);

// Writes the standby frequencies to the registry. True when they were
// written; a failure shows its message box.
bool SaveStandbyFrequencies();
// Reads them at initialise: the stored value, or the defaults.
void LoadStandbyFrequencies();
// Lets the block go (after a save at kill; at unload).
void ReleaseStandbyFrequencies();

// ---- navigation read-out (readout.cpp) ----------------------------------
extern int32_t NavMode;  // 0 OBS, 1 BRG, 2 RAD
extern int32_t NavValid;
extern int32_t LocActive;
extern int32_t ToFromState;
extern int32_t ObsDegrees;
extern int32_t RadialDegrees;
extern int32_t BearingDegrees;

double GAUGE_STDCALL ReadObs(ModuleVar* var);
double GAUGE_STDCALL ReadRadial(ModuleVar* var);
double GAUGE_STDCALL UpdateNavReadout(ModuleVar* var);
double GAUGE_STDCALL ReadToFrom(ModuleVar* var);
double GAUGE_STDCALL ReadNavFlags(ModuleVar* var);
double GAUGE_STDCALL LeftBarValue(ModuleVar* var);
double GAUGE_STDCALL RightBarValue(ModuleVar* var);

// ---- tuning (tuning.cpp) ------------------------------------------------
extern uint16_t ComStep;  // 25 or 50 kHz
extern int32_t IdentPulled;

// A double truncated toward zero into 32 bits, as the processor's
// truncating conversion gives it: a value that is not a number or lies
// outside the 32-bit range becomes -2147483648.
int32_t TruncateToInt32(double value);
