#include "record_fingerprint.h"

#include <algorithm>
#include <cstring>

#include "element_tree.h"

namespace {

// Gathers words; labels ("element 3.image_flags") are made only on request.
class Collector {
public:
    Collector(Fingerprint& print, bool with_labels) : print_(print), with_labels_(with_labels) {}
    void Prefix(std::string prefix) {
        if (with_labels_) prefix_ = std::move(prefix);
    }
    void Add(const char* field, uint64_t value) {
        print_.words.push_back(value);
        if (with_labels_) print_.labels.push_back(prefix_ + field);
    }
    void Pointer(const char* field, const void* pointer) { Add(field, reinterpret_cast<uintptr_t>(pointer)); }
    void Double(const char* field, double value) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Add(field, bits);
    }
    void Bytes(const char* field, const void* data, size_t size) {
        auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i) Add(field, bytes[i]);
    }

private:
    Fingerprint& print_;
    bool with_labels_;
    std::string prefix_;
};

}  // namespace

Fingerprint TakeFingerprint(panel::Gauge& gauge, const std::vector<size_t>& may_hide, bool with_labels) {
    Fingerprint print;
    Collector add(print, with_labels);
    add.Prefix("");
    LinkageRecord& linkage = gauge.library().linkage();
    add.Bytes("Linkage", &linkage, sizeof linkage);
    ImportTableRecord& imports = gauge.library().import_table();
    add.Add("ImportTable.entry_id", imports.entry_id);
    add.Add("ImportTable.end_id", imports.end_id);
    add.Add("ImportTable.end_pointer", imports.end_pointer);
    add.Bytes("GaugeHeader", &gauge.header(), sizeof(GaugeHeader));

    auto elements = panel::ElementsInOrder(gauge.root());
    for (size_t i = 0; i < elements.size(); ++i) {
        ElementHeader* e = elements[i];
        add.Prefix("element " + std::to_string(i) + ".");
        add.Add("kind", e->kind);
        add.Add("image_id", e->image_id);
        add.Bytes("position", &e->position, sizeof e->position);
        add.Bytes("offset", &e->offset, sizeof e->offset);
        add.Pointer("gauge", e->gauge);
        add.Pointer("children", e->children);
        for (ElementHeader** child = e->children; child && *child; ++child) add.Pointer("child", *child);
        add.Pointer("failures", e->failures);
        for (FailureRecord* f = e->failures; f; ++f) {
            add.Bytes("failure", f, sizeof *f);
            if (!f->failure && !f->action) break;
        }
        bool hides = std::find(may_hide.begin(), may_hide.end(), i) != may_hide.end();
        add.Add("image_flags", hides ? (e->image_flags & ~ImageHidden) : e->image_flags);
        add.Add("instrumentation_flags", e->instrumentation_flags);
        add.Add("reserved", e->reserved);
        for (ModuleVar* var : panel::ElementVariables(e)) add.Add("token", var->token);
        switch (e->kind) {
        case NeedleKind: {
            auto* needle = panel::As<NeedleElement>(e);
            add.Pointer("callback", reinterpret_cast<void*>(needle->callback));
            add.Bytes("tip_point", &needle->tip_point, sizeof needle->tip_point);
            add.Pointer("scale", needle->scale);
            add.Add("scale_count", needle->scale_count);
            for (uint32_t s = 0; s < needle->scale_count; ++s) {
                add.Add("scale.x", static_cast<uint32_t>(needle->scale[s].x));
                add.Add("scale.y", static_cast<uint32_t>(needle->scale[s].y));
                add.Double("scale.value", needle->scale[s].value);
            }
            break;
        }
        case IconKind: {
            auto* icon = panel::As<IconElement>(e);
            add.Pointer("callback", reinterpret_cast<void*>(icon->callback));
            add.Add("image_count", icon->image_count);
            break;
        }
        case MovingImageKind: {
            auto* moving = panel::As<MovingImageElement>(e);
            add.Pointer("callback", reinterpret_cast<void*>(moving->callback));
            add.Double("range_min", moving->range_min);
            add.Double("range_max", moving->range_max);
            break;
        }
        case StringKind: {
            auto* text = panel::As<StringElement>(e);
            for (int s = 0; s < StringSources; ++s)
                add.Pointer("source_callback", reinterpret_cast<void*>(text->source_callbacks[s]));
            add.Pointer("text_callback", reinterpret_cast<void*>(text->text_callback));
            add.Add("box_width", static_cast<uint32_t>(text->box_width));
            add.Add("box_height", static_cast<uint32_t>(text->box_height));
            add.Add("text_colour", text->text_colour);
            add.Add("background_colour", text->background_colour);
            add.Add("highlight_colour", text->highlight_colour);
            add.Bytes("font_name", text->font_name, sizeof text->font_name);
            add.Add("font_weight", text->font_weight);
            add.Add("font_charset", text->font_charset);
            add.Add("format", text->format);
            add.Add("max_chars", text->max_chars);
            add.Pointer("highlights", text->highlights);
            for (HighlightRange* h = text->highlights; h; ++h) {
                add.Bytes("highlight", h, sizeof *h);
                if (h->selection == 0 && h->first_char == -1 && h->last_char == -1) break;
            }
            break;
        }
        default:
            break;
        }
    }
    add.Prefix("");
    for (MouseRect* rect = gauge.mouse_list(); rect; ++rect) {
        add.Bytes("mouse entry", rect, sizeof *rect);
        if (rect->kind == MouseListEnd) break;
    }
    return print;
}

std::string FirstDifference(const Fingerprint& before, const Fingerprint& after) {
    if (before.words.size() != after.words.size()) return "the records changed shape";
    for (size_t i = 0; i < before.words.size(); ++i)
        if (before.words[i] != after.words[i])
            return before.labels[i] + " changed from " + std::to_string(before.words[i]) + " to " +
                   std::to_string(after.words[i]);
    return "";
}
