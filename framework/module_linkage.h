// What every module exports: Linkage, which leads the host to the gauge,
// and ImportTable, into which the host writes its services table.
#pragma once

#include "gauge_records.h"

constexpr uint32_t LinkageTag = 19;
constexpr uint32_t ImportEntryId = 15;
constexpr uint32_t GaugeVersion = 610;

extern "C" {
GAUGE_EXPORT extern LinkageRecord Linkage;
GAUGE_EXPORT extern ImportTableRecord ImportTable;
}

// module_init and module_deinit of every gauge: there is nothing to set up
// or tear down per module.
void GAUGE_STDCALL ModuleNothing();

// The Linkage record of a module whose gauge header is `header`.
#define GAUGE_LINKAGE(header)                \
    extern "C" {                             \
    LinkageRecord Linkage = {                \
        .tag = LinkageTag,                   \
        .module_init = ModuleNothing,        \
        .module_deinit = ModuleNothing,      \
        .gauge = &(header),                  \
    };                                       \
    }
