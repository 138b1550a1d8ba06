// Hit-testing clicks against a gauge's mouse list.
#include "panel_host.h"

namespace panel {

namespace {

uint32_t ButtonBit(MouseButton button) {
    return button == MouseButton::Primary ? MousePrimaryClick : MouseSecondaryClick;
}

bool Holds(const MouseRect& area, int x, int y) {
    return x >= area.box_x && y >= area.box_y && x - area.box_x < area.box_width &&
           y - area.box_y < area.box_height;
}

// Lists end at kind 0; a cap keeps a list without its end from running on.
constexpr int MaxEntries = 4096;

}  // namespace

int Gauge::AreaAt(int x, int y, MouseButton button) const {
    if (!mouse_active_ || !mouse_list_ || state_ != GaugeState::Running) return -1;
    for (int index = 0; index < MaxEntries && mouse_list_[index].kind != MouseListEnd; ++index) {
        const MouseRect& area = mouse_list_[index];
        if (area.kind != MouseArea) continue;
        if ((area.mouse_flags & ButtonBit(button)) && Holds(area, x, y)) return index;
    }
    return -1;
}

std::optional<int32_t> Gauge::Click(int x, int y, MouseButton button) {
    int index = AreaAt(x, y, button);
    if (index < 0 || !mouse_list_[index].handler) return std::nullopt;
    ActiveHost active(host_);
    // The handler's first argument is ours; the modules never read it.
    return mouse_list_[index].handler(mouse_anchor_, ButtonBit(button));
}

}  // namespace panel
