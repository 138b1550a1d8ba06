// The seven routines a gauge header names, written once for every gauge.
// A gauge describes itself with a GaugeFrame and takes the routines from
// StandardRoutines<ItsFrame>; the radio adds its own work through the three
// optional hooks.
#pragma once

#include "gauge_records.h"

// The services table the host wrote into this module's ImportTable.
PanelServices* HostServices();

struct GaugeFrame {
    GaugeHeader* header;
    MouseRect* mouse_list;
    void (*after_initialise)();  // after InitialiseElements
    void (*after_update)();      // after UpdateElements
    void (*before_kill)();       // before the mouse list is ended
};

inline ElementHeader* GaugeRoot(const GaugeFrame& frame) {
    return frame.header->elements[0];
}

template <const GaugeFrame& Frame>
struct StandardRoutines {
    static uint32_t GAUGE_STDCALL Query() {
        return HostServices()->QueryElements(GaugeRoot(Frame));
    }

    static void GAUGE_STDCALL Install(uint32_t value) {
        ElementHeader* root = GaugeRoot(Frame);
        HostServices()->InstallElements(root, value);
        // The host sets host_image during InstallElements; read it only now.
        auto* image = reinterpret_cast<StaticImageElement*>(root)->host_image;
        HostServices()->SetUpMouseList(Frame.mouse_list, Frame.header,
                                       static_cast<uint8_t*>(image) + 4);
        HostServices()->StartMouseList(Frame.mouse_list, Frame.header);
    }

    static void GAUGE_STDCALL Initialise() {
        HostServices()->InitialiseElements(GaugeRoot(Frame));
        if (Frame.after_initialise) Frame.after_initialise();
    }

    static void GAUGE_STDCALL Update() {
        HostServices()->UpdateElements(GaugeRoot(Frame));
        if (Frame.after_update) Frame.after_update();
    }

    static void GAUGE_STDCALL Generate(uint32_t value) {
        HostServices()->GenerateElements(GaugeRoot(Frame), value);
    }

    static void GAUGE_STDCALL Draw() {
        HostServices()->DrawElements(GaugeRoot(Frame));
    }

    static void GAUGE_STDCALL Kill() {
        if (Frame.before_kill) Frame.before_kill();
        HostServices()->EndMouseList(Frame.mouse_list, Frame.header);
        HostServices()->KillElements(GaugeRoot(Frame));
    }
};

// The seven routine fields of a gauge header, in their order.
#define GAUGE_STANDARD_ROUTINES(frame)                      \
    .query = &StandardRoutines<frame>::Query,               \
    .install = &StandardRoutines<frame>::Install,           \
    .initialise = &StandardRoutines<frame>::Initialise,     \
    .update = &StandardRoutines<frame>::Update,             \
    .generate = &StandardRoutines<frame>::Generate,         \
    .draw = &StandardRoutines<frame>::Draw,                 \
    .kill = &StandardRoutines<frame>::Kill
