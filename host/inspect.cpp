#include "inspect.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>

#include "bitmaps.h"
#include "element_tree.h"
#include "gauge_names.h"

namespace panel {

namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Point(PixelPoint point) {
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// Lists end with their terminator within this many entries.
constexpr int MaxListEntries = 256;

class Inspection {
public:
    Inspection(Gauge& gauge, std::ostream& out) : gauge_(gauge), out_(out) {}

    std::vector<std::string> Run() {
        Header();
        Elements();
        MouseList();
        Bitmaps();
        return problems_;
    }

private:
    void Problem(const std::string& text) {
        problems_.push_back(text);
        out_ << "  PROBLEM: " << text << "\n";
    }

    std::optional<Bitmap> Picture(uint32_t id) {
        auto found = pictures_.find(id);
        if (found != pictures_.end()) return found->second;
        std::optional<Bitmap> bitmap;
        try {
            bitmap = LoadModuleBitmap(gauge_.library(), id);
        } catch (const std::exception& error) {
            Problem("bitmap " + Hex(id) + " is unreadable: " + error.what());
        }
        pictures_[id] = bitmap;
        return bitmap;
    }

    std::optional<Bitmap> Needed(uint32_t id, const std::string& who) {
        used_.insert(id);
        auto bitmap = Picture(id);
        if (!bitmap) Problem(who + " names bitmap " + Hex(id) + ", which the module lacks");
        return bitmap;
    }

    void Header() {
        LinkageRecord& linkage = gauge_.library().linkage();
        ImportTableRecord& imports = gauge_.library().import_table();
        GaugeHeader& header = gauge_.header();
        out_ << "module " << gauge_.library().path() << "\n";
        out_ << "Linkage: tag " << linkage.tag << ", gauge " << Hex(reinterpret_cast<uintptr_t>(linkage.gauge)) << "\n";
        out_ << "ImportTable: entry_id " << imports.entry_id << "\n";
        out_ << "GaugeHeader: version " << header.version << ", name \"" << gauge_.name() << "\", gauge_size "
             << header.gauge_size << "\n";
        if (linkage.tag != 19) Problem("Linkage.tag is " + std::to_string(linkage.tag) + ", not 19");
        if (imports.entry_id != 15) Problem("ImportTable.entry_id is " + std::to_string(imports.entry_id) + ", not 15");
        if (header.version != 610) Problem("GaugeHeader.version is " + std::to_string(header.version) + ", not 610");
        if (!header.query || !header.install || !header.initialise || !header.update || !header.generate ||
            !header.draw || !header.kill)
            Problem("GaugeHeader lacks a routine");
        if (header.elements[1]) Problem("GaugeHeader.elements holds more than the root");
    }

    void Elements() {
        out_ << "elements, in drawing order:\n";
        std::vector<ElementHeader*> elements;
        try {
            elements = ElementsInOrder(gauge_.root());
        } catch (const std::exception& error) {
            Problem(error.what());
            return;
        }
        auto root = Picture(gauge_.root()->image_id);
        for (ElementHeader* element : elements) Element(element, root);
    }

    void Element(ElementHeader* element, const std::optional<Bitmap>& root) {
        std::string name = ElementName(gauge_, element);
        out_ << "  " << name << ": " << KindName(element->kind) << ", image " << Hex(element->image_id)
             << ", position " << Point(element->position) << ", offset " << Point(element->offset) << ", flags "
             << Hex(element->image_flags) << (element->failures ? ", failures" : "");
        if (element->failures) {
            int count = 0;
            for (FailureRecord* f = element->failures; f->failure || f->action; ++f) {
                out_ << " (" << f->failure << ", " << f->action << ")";
                if (++count > MaxListEntries) {
                    Problem(name + ": failure list has no end");
                    break;
                }
            }
        }
        out_ << "\n";
        if (element->gauge != &gauge_.header()) Problem(name + ": gauge does not point at the gauge header");
        if (root && (element->position.x < 0 || element->position.y < 0 || element->position.x >= root->width ||
                     element->position.y >= root->height))
            Problem(name + ": position lies outside the root bitmap");
        for (ModuleVar* var : ElementVariables(element))
            if (var->token) out_ << "    variable " << TokenLabel(var->token) << "\n";

        switch (element->kind) {
        case StaticImageKind:
            Needed(element->image_id, name);
            break;
        case IconKind: {
            auto* icon = As<IconElement>(element);
            out_ << "    image_count " << icon->image_count << (icon->callback ? ", callback" : ", no callback") << "\n";
            if (icon->image_count == 0) Problem(name + ": image_count is 0");
            for (uint32_t n = 0; n < icon->image_count && n < 64; ++n) Needed(element->image_id + 3 * n, name);
            break;
        }
        case NeedleKind: Needle(*As<NeedleElement>(element), name); break;
        case MovingImageKind: Moving(*As<MovingImageElement>(element), name); break;
        case StringKind: String(*As<StringElement>(element), name); break;
        default: Problem(name + ": unknown kind " + std::to_string(element->kind));
        }
    }

    void Needle(NeedleElement& needle, const std::string& name) {
        out_ << "    tip_point " << Point(needle.tip_point) << ", scale_count " << needle.scale_count
             << (needle.callback ? ", callback" : ", no callback") << "\n";
        for (uint32_t i = 0; needle.scale && i < needle.scale_count && i < MaxListEntries; ++i)
            out_ << "    scale " << i << ": (" << needle.scale[i].x << ", " << needle.scale[i].y << ") "
                 << Number(needle.scale[i].value) << "\n";
        if (!needle.scale || needle.scale_count == 0) Problem(name + ": no scale");
        for (uint32_t i = 1; needle.scale && i < needle.scale_count && i < MaxListEntries; ++i)
            if (!(needle.scale[i].value > needle.scale[i - 1].value))
                Problem(name + ": scale values do not ascend at entry " + std::to_string(i));
        if (auto bitmap = Needed(needle.header.image_id, name)) {
            PixelPoint expected{bitmap->width - 1 - needle.header.offset.x, needle.header.offset.y};
            if (needle.tip_point.x != expected.x || needle.tip_point.y != expected.y)
                Problem(name + ": tip_point " + Point(needle.tip_point) + " does not match the bitmap, " +
                        Point(expected));
        }
    }

    void Moving(MovingImageElement& moving, const std::string& name) {
        out_ << "    range " << Number(moving.range_min) << " to " << Number(moving.range_max) << "\n";
        auto strip = Needed(moving.header.image_id, name);
        auto mask = Needed(moving.header.image_id + 3, name + " (mask)");
        if (strip && mask && (mask->height != strip->height || mask->width > strip->width))
            Problem(name + ": the mask does not fit the strip");
        if (!(moving.range_max > moving.range_min)) Problem(name + ": range_max is not above range_min");
    }

    void String(StringElement& text, const std::string& name) {
        size_t font_length = strnlen(text.font_name, sizeof text.font_name);
        out_ << "    box " << text.box_width << " x " << text.box_height << ", max_chars " << text.max_chars
             << ", font \"" << std::string(text.font_name, font_length) << "\" " << text.font_weight << ", colours "
             << Hex(text.text_colour) << " on " << Hex(text.background_colour) << ", highlight "
             << Hex(text.highlight_colour) << ", format " << Hex(text.format) << "\n";
        if (text.header.image_id != NoImage) Problem(name + ": a text names a bitmap");
        if (font_length == sizeof text.font_name) Problem(name + ": font_name is not terminated");
        if (text.max_chars == 0) Problem(name + ": max_chars is 0");
        if (text.highlights) {
            int count = 0;
            for (HighlightRange* range = text.highlights; !(range->selection == 0 && range->first_char == -1 &&
                                                            range->last_char == -1);
                 ++range) {
                out_ << "    highlight " << range->selection << ": " << range->first_char << " to "
                     << range->last_char << "\n";
                if (range->first_char < 0 || range->last_char < range->first_char ||
                    range->last_char >= static_cast<int32_t>(text.max_chars))
                    Problem(name + ": highlight range outside the text");
                if (++count > MaxListEntries) {
                    Problem(name + ": highlight list has no end");
                    break;
                }
            }
        }
    }

    void MouseList() {
        // The list is read from the gauge's header through a fresh install.
        MouseRect* list = gauge_.mouse_list();
        out_ << "mouse list:\n";
        if (!list) {
            Problem("the gauge never handed over a mouse list");
            return;
        }
        int index = 0;
        if (list[0].kind != MouseGroupStart) Problem("the mouse list does not start with a group start");
        for (; index < MaxListEntries && list[index].kind != MouseListEnd; ++index) {
            const MouseRect& area = list[index];
            out_ << "  " << index << ": kind " << area.kind << ", box (" << area.box_x << ", " << area.box_y << ", "
                 << area.box_width << ", " << area.box_height << "), cursor " << area.cursor << ", flags "
                 << Hex(area.mouse_flags) << (area.handler ? ", handler" : "") << "\n";
            if (area.kind == MouseArea) {
                if (!area.handler) Problem("mouse area " + std::to_string(index) + " has no handler");
                if (area.box_width <= 0 || area.box_height <= 0)
                    Problem("mouse area " + std::to_string(index) + " has an empty box");
                if (!(area.mouse_flags & MousePrimaryClick))
                    Problem("mouse area " + std::to_string(index) + " takes no primary click");
            } else if (area.kind != MouseGroupStart && area.kind != MouseGroupEnd) {
                Problem("mouse entry " + std::to_string(index) + " has unknown kind " + std::to_string(area.kind));
            }
        }
        if (index == MaxListEntries) Problem("the mouse list has no end");
        else if (index == 0 || list[index - 1].kind != MouseGroupEnd)
            Problem("the mouse list does not close its group before its end");
    }

    void Bitmaps() {
        out_ << "bitmaps:\n";
        for (uint32_t id : ModuleBitmapIds(gauge_.library())) {
            auto bitmap = Picture(id);
            if (!bitmap) continue;
            out_ << "  " << Hex(id) << ": " << bitmap->width << " x " << bitmap->height << ", " << bitmap->bit_count
                 << " bits" << (used_.count(id) ? "" : ", named by no element") << "\n";
        }
    }

    Gauge& gauge_;
    std::ostream& out_;
    std::vector<std::string> problems_;
    std::map<uint32_t, std::optional<Bitmap>> pictures_;
    std::set<uint32_t> used_;
};

}  // namespace

std::vector<std::string> InspectGauge(Gauge& gauge, std::ostream& out) {
    return Inspection(gauge, out).Run();
}

}  // namespace panel
