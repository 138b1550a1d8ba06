// The services table handed to every module: thirteen services, and a
// loud failure in every other slot, naming it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "panel_host.h"

namespace panel {

namespace {

template <int Slot>
void GAUGE_STDCALL MissingService() {
    std::fprintf(stderr, "panelhost: the module called panel service slot %d, which this host does not provide\n",
                 Slot);
    std::fflush(stderr);
    std::abort();
}

template <int Slot>
void SetSlot(PanelServices& table) {
    void* service = reinterpret_cast<void*>(&MissingService<Slot>);
    std::memcpy(reinterpret_cast<char*>(&table) + Slot * sizeof service, &service, sizeof service);
}

template <int... Slots>
void FillMissing(PanelServices& table, std::integer_sequence<int, Slots...>) {
    (SetSlot<Slots>(table), ...);
}

uint32_t GAUGE_STDCALL QueryElements(ElementHeader* root) { return PanelHost::Active().QueryElements(root); }
void GAUGE_STDCALL InstallElements(ElementHeader* root, uint32_t value) { PanelHost::Active().InstallElements(root, value); }
void GAUGE_STDCALL InitialiseElements(ElementHeader* root) { PanelHost::Active().InitialiseElements(root); }
void GAUGE_STDCALL UpdateElements(ElementHeader* root) { PanelHost::Active().UpdateElements(root); }
void GAUGE_STDCALL GenerateElements(ElementHeader* root, uint32_t value) { PanelHost::Active().GenerateElements(root, value); }
void GAUGE_STDCALL DrawElements(ElementHeader* root) { PanelHost::Active().DrawElements(root); }
void GAUGE_STDCALL KillElements(ElementHeader* root) { PanelHost::Active().KillElements(root); }
void GAUGE_STDCALL SetUpMouseList(MouseRect* list, GaugeHeader* header, void* anchor) {
    PanelHost::Active().SetUpMouseList(list, header, anchor);
}
void GAUGE_STDCALL StartMouseList(MouseRect* list, GaugeHeader* header) { PanelHost::Active().StartMouseList(list, header); }
void GAUGE_STDCALL EndMouseList(MouseRect* list, GaugeHeader* header) { PanelHost::Active().EndMouseList(list, header); }
void GAUGE_STDCALL SendKeyEvent(uint32_t event, uint32_t value) { PanelHost::Active().SendKeyEvent(event, value); }
void GAUGE_STDCALL InitialiseVariable(ModuleVar* var) { PanelHost::Active().InitialiseVariable(var); }
void GAUGE_STDCALL RefreshVariable(ModuleVar* var) { PanelHost::Active().RefreshVariable(var); }

}  // namespace

void BuildServiceTable(PanelServices& table) {
    FillMissing(table, std::make_integer_sequence<int, PanelServiceSlots>{});
    table.QueryElements = &QueryElements;
    table.InstallElements = &InstallElements;
    table.InitialiseElements = &InitialiseElements;
    table.UpdateElements = &UpdateElements;
    table.GenerateElements = &GenerateElements;
    table.DrawElements = &DrawElements;
    table.KillElements = &KillElements;
    table.SetUpMouseList = &SetUpMouseList;
    table.StartMouseList = &StartMouseList;
    table.EndMouseList = &EndMouseList;
    table.SendKeyEvent = &SendKeyEvent;
    table.InitialiseVariable = &InitialiseVariable;
    table.RefreshVariable = &RefreshVariable;
}

}  // namespace panel
