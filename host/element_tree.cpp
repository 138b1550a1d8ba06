#include "element_tree.h"

#include <set>
#include <stdexcept>

namespace panel {

namespace {

constexpr int MaxDepth = 64;

void Visit(ElementHeader* element, int depth, std::set<ElementHeader*>& seen,
           const std::function<void(ElementHeader*, int)>& visit) {
    if (depth > MaxDepth) throw std::runtime_error("element tree is deeper than 64 levels");
    if (!seen.insert(element).second)
        throw std::runtime_error("element tree names an element twice");
    visit(element, depth);
    if (!element->children) return;
    for (ElementHeader** child = element->children; *child; ++child) Visit(*child, depth + 1, seen, visit);
}

}  // namespace

void VisitElements(ElementHeader* root, const std::function<void(ElementHeader*, int)>& visit) {
    std::set<ElementHeader*> seen;
    if (root) Visit(root, 0, seen, visit);
}

std::vector<ElementHeader*> ElementsInOrder(ElementHeader* root) {
    std::vector<ElementHeader*> elements;
    VisitElements(root, [&](ElementHeader* element, int) { elements.push_back(element); });
    return elements;
}

const char* KindName(uint32_t kind) {
    switch (kind) {
    case StaticImageKind: return "static image";
    case NeedleKind: return "needle";
    case StringKind: return "string";
    case IconKind: return "icon";
    case MovingImageKind: return "moving image";
    default: return "unknown";
    }
}

std::vector<ModuleVar*> ElementVariables(ElementHeader* element) {
    switch (element->kind) {
    case NeedleKind: return {&As<NeedleElement>(element)->source};
    case IconKind: return {&As<IconElement>(element)->source};
    case MovingImageKind: return {&As<MovingImageElement>(element)->source};
    case StringKind: {
        auto* text = As<StringElement>(element);
        return {&text->sources[0], &text->sources[1], &text->sources[2]};
    }
    default: return {};
    }
}

}  // namespace panel
