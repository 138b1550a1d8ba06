#include "module_linkage.h"

#include "gauge_routines.h"

extern "C" {
ImportTableRecord ImportTable = {
    .entry_id = ImportEntryId,
    .services = nullptr,
};
}

PanelServices* HostServices() {
    return ImportTable.services;
}

void GAUGE_STDCALL ModuleNothing() {}
