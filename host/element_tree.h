// Walking a gauge's element tree in the host's order: depth first, an
// element before its children, every list in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gauge_records.h"

namespace panel {

// Throws std::runtime_error when the tree is circular or absurdly deep,
// which only a broken module can make.
void VisitElements(ElementHeader* root, const std::function<void(ElementHeader*, int depth)>& visit);
std::vector<ElementHeader*> ElementsInOrder(ElementHeader* root);
const char* KindName(uint32_t kind);

// Every ModuleVar embedded in an element, in slot order.
std::vector<ModuleVar*> ElementVariables(ElementHeader* element);

template <typename Record>
Record* As(ElementHeader* element) {
    return reinterpret_cast<Record*>(element);
}

}  // namespace panel
