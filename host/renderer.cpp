#include "renderer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "element_tree.h"

namespace panel {

namespace {

constexpr double Pi = 3.14159265358979323846;

bool IsBlack(Rgb colour) {
    return colour.r == 0 && colour.g == 0 && colour.b == 0;
}

// The angle of a scale point about the needle's position.
double PointAngle(const NeedleElement& needle, const NonlinearityEntry& point) {
    return std::atan2(double(point.y - needle.header.position.y), double(point.x - needle.header.position.x));
}

}  // namespace

Renderer::Renderer(BitmapSource bitmaps) : source_(std::move(bitmaps)) {}

Renderer::Renderer(const ModuleLibrary& module)
    : source_([&module](uint32_t id) { return LoadModuleBitmap(module, id); }) {}

const Renderer::Picture& Renderer::PictureFor(uint32_t id) {
    auto found = pictures_.find(id);
    if (found != pictures_.end()) return found->second;
    std::optional<Bitmap> bitmap = source_(id);
    if (!bitmap) {
        char name[16];
        std::snprintf(name, sizeof name, "0x%X", id);
        throw std::runtime_error(std::string("the module has no bitmap ") + name);
    }
    Picture picture;
    picture.width = bitmap->width;
    picture.height = bitmap->height;
    picture.colours.reserve(bitmap->pixels.size());
    picture.black.reserve(bitmap->pixels.size());
    for (uint8_t index : bitmap->pixels) {
        Rgb colour = bitmap->palette[index];
        picture.colours.push_back(colour);
        picture.black.push_back(IsBlack(colour));
        picture.rgb.insert(picture.rgb.end(), {colour.r, colour.g, colour.b});
    }
    picture.runs.resize(size_t(picture.height));
    for (int row = 0; row < picture.height; ++row)
        for (int x = 0; x < picture.width;) {
            if (picture.Black(x, row)) {
                ++x;
                continue;
            }
            int first = x;
            while (x < picture.width && !picture.Black(x, row)) ++x;
            picture.runs[size_t(row)].push_back({first, x});
        }
    return pictures_.emplace(id, std::move(picture)).first->second;
}

double Renderer::NeedleAngle(const NeedleElement& needle, double value) {
    const NonlinearityEntry* scale = needle.scale;
    uint32_t count = needle.scale_count;
    if (!scale || count == 0) return 0.0;
    if (std::isnan(value) || value <= scale[0].value) return PointAngle(needle, scale[0]);
    for (uint32_t i = 0; i + 1 < count; ++i) {
        const NonlinearityEntry& from = scale[i];
        const NonlinearityEntry& to = scale[i + 1];
        if (value > to.value) continue;
        double t = to.value == from.value ? 1.0 : (value - from.value) / (to.value - from.value);
        double a0 = PointAngle(needle, from);
        double a1 = PointAngle(needle, to);
        // Successive points go clockwise, which is an increasing angle on
        // the screen.
        double sweep = std::fmod(a1 - a0 + 4 * Pi, 2 * Pi);
        return a0 + sweep * t;
    }
    return PointAngle(needle, scale[count - 1]);
}

Canvas Renderer::Render(Gauge& gauge, const RenderOptions& options) {
    const Picture& root = PictureFor(gauge.root()->image_id);
    Canvas canvas(root.width, root.height);
    RenderInto(canvas, gauge, 0, 0, options);
    return canvas;
}

void Renderer::RenderInto(Canvas& canvas, Gauge& gauge, int x, int y, const RenderOptions& options) {
    VisitElements(gauge.root(), [&](ElementHeader* element, int) { DrawElement(canvas, gauge, element, x, y, options); });
    if (options.show_areas) DrawAreas(canvas, gauge, x, y);
}

void Renderer::DrawElement(Canvas& canvas, Gauge& gauge, ElementHeader* element, int x, int y,
                           const RenderOptions& options) {
    // A hidden element is not drawn; its children are, by the walk.
    if (element->image_flags & ImageHidden) return;
    bool transparent = element->image_flags & ImageTransparentBlack;
    int px = x + element->position.x;
    int py = y + element->position.y;
    switch (element->kind) {
    case StaticImageKind:
        DrawImage(canvas, PictureFor(element->image_id), px, py, transparent);
        break;
    case IconKind: {
        auto* icon = As<IconElement>(element);
        double value = gauge.ElementValue(element).value_or(0.0);
        uint32_t picture = 0;
        if (value >= 1.0 && value < icon->image_count) picture = static_cast<uint32_t>(value);
        DrawImage(canvas, PictureFor(element->image_id + 3 * picture), px, py, transparent);
        break;
    }
    case NeedleKind: {
        auto* needle = As<NeedleElement>(element);
        double value = gauge.ElementValue(element).value_or(needle->scale ? needle->scale[0].value : 0.0);
        DrawNeedle(canvas, *needle, value, x, y);
        break;
    }
    case MovingImageKind: {
        auto* moving = As<MovingImageElement>(element);
        DrawMovingImage(canvas, *moving, gauge.ElementValue(element).value_or(moving->range_min), px, py);
        break;
    }
    case StringKind:
        DrawString(canvas, gauge, *As<StringElement>(element), x, y, options);
        break;
    default:
        break;
    }
}

void Renderer::DrawImage(Canvas& canvas, const Picture& picture, int x, int y, bool transparent_black) {
    int x0 = std::max(0, -x), x1 = std::min(picture.width, canvas.width - x);
    int y0 = std::max(0, -y), y1 = std::min(picture.height, canvas.height - y);
    if (x0 >= x1) return;
    auto copy = [&](int row, int first, int end) {
        first = std::max(first, x0), end = std::min(end, x1);
        if (first >= end) return;
        std::memcpy(&canvas.rgb[(size_t(y + row) * size_t(canvas.width) + size_t(x + first)) * 3],
                    &picture.rgb[(size_t(row) * size_t(picture.width) + size_t(first)) * 3], size_t(end - first) * 3);
    };
    for (int row = y0; row < y1; ++row) {
        if (!transparent_black) {
            copy(row, x0, x1);
            continue;
        }
        // Pure black is left out: only the runs of other colours are copied.
        for (auto [first, end] : picture.runs[size_t(row)]) copy(row, first, end);
    }
}

void Renderer::DrawNeedle(Canvas& canvas, const NeedleElement& needle, double value, int x, int y) {
    const Picture& bitmap = PictureFor(needle.header.image_id);
    bool transparent = needle.header.image_flags & ImageTransparentBlack;
    double angle = NeedleAngle(needle, value);
    double c = std::cos(angle), s = std::sin(angle);
    // Pixel centres: the bitmap's pivot pixel lands on the position pixel.
    double pivot_x = x + needle.header.position.x + 0.5, pivot_y = y + needle.header.position.y + 0.5;
    double offset_x = needle.header.offset.x + 0.5, offset_y = needle.header.offset.y + 0.5;

    auto texel = [&](int tx, int ty, float& r, float& g, float& b) -> float {
        if (tx < 0 || ty < 0 || tx >= bitmap.width || ty >= bitmap.height) return 0.0f;
        if (transparent && bitmap.Black(tx, ty)) return 0.0f;
        Rgb colour = bitmap.At(tx, ty);
        r = colour.r, g = colour.g, b = colour.b;
        return 1.0f;
    };

    // Only the pixels the turned bitmap can reach: the box around its
    // turned corners, one pixel wider for the smoothing.
    double min_x = pivot_x, max_x = pivot_x, min_y = pivot_y, max_y = pivot_y;
    for (double cx : {-offset_x, bitmap.width - offset_x})
        for (double cy : {-offset_y, bitmap.height - offset_y}) {
            double tx = pivot_x + cx * c - cy * s, ty = pivot_y + cx * s + cy * c;
            min_x = std::min(min_x, tx), max_x = std::max(max_x, tx);
            min_y = std::min(min_y, ty), max_y = std::max(max_y, ty);
        }
    int x0 = std::max(0, static_cast<int>(std::floor(min_x)) - 1);
    int x1 = std::min(canvas.width - 1, static_cast<int>(std::ceil(max_x)) + 1);
    int y0 = std::max(0, static_cast<int>(std::floor(min_y)) - 1);
    int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(max_y)) + 1);
    // Along a row the bitmap position moves in a straight line: keep to the
    // stretch of the row where it lies over the bitmap.
    auto narrow = [](double start, double step, double low, double high, double& from, double& to) {
        if (std::fabs(step) < 1e-12) {
            if (start < low || start > high) from = 1, to = 0;
            return;
        }
        double a = (low - start) / step, b = (high - start) / step;
        from = std::max(from, std::min(a, b)), to = std::min(to, std::max(a, b));
    };
    for (int dy = y0; dy <= y1; ++dy) {
        double ry = dy + 0.5 - pivot_y;
        double sx_start = offset_x + (x0 + 0.5 - pivot_x) * c + ry * s - 0.5;
        double sy_start = offset_y - (x0 + 0.5 - pivot_x) * s + ry * c - 0.5;
        double from = 0, to = x1 - x0;
        narrow(sx_start, c, -1, bitmap.width, from, to);
        narrow(sy_start, -s, -1, bitmap.height, from, to);
        if (from > to) continue;
        int first = x0 + std::max(0, static_cast<int>(std::floor(from)) - 1);
        int last = x0 + std::min(x1 - x0, static_cast<int>(std::ceil(to)) + 1);
        for (int dx = first; dx <= last; ++dx) {
            // Turn the destination pixel back into the needle bitmap.
            double rx = dx + 0.5 - pivot_x, ry = dy + 0.5 - pivot_y;
            double sx = offset_x + rx * c + ry * s - 0.5;
            double sy = offset_y - rx * s + ry * c - 0.5;
            if (sx < -1 || sy < -1 || sx > bitmap.width || sy > bitmap.height) continue;
            int ix = static_cast<int>(std::floor(sx)), iy = static_cast<int>(std::floor(sy));
            float fx = static_cast<float>(sx - ix), fy = static_cast<float>(sy - iy);
            float weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
            int taps[4][2] = {{ix, iy}, {ix + 1, iy}, {ix, iy + 1}, {ix + 1, iy + 1}};
            float sum_r = 0, sum_g = 0, sum_b = 0, coverage = 0;
            for (int i = 0; i < 4; ++i) {
                float r = 0, g = 0, b = 0;
                float alpha = texel(taps[i][0], taps[i][1], r, g, b) * weights[i];
                sum_r += r * alpha, sum_g += g * alpha, sum_b += b * alpha, coverage += alpha;
            }
            if (coverage <= 0.0f) continue;
            canvas.Blend(dx, dy, sum_r / coverage, sum_g / coverage, sum_b / coverage, coverage);
        }
    }
}

void Renderer::DrawMovingImage(Canvas& canvas, const MovingImageElement& moving, double value, int x, int y) {
    const Picture& strip = PictureFor(moving.header.image_id);
    const Picture& mask = PictureFor(moving.header.image_id + 3);
    bool transparent = moving.header.image_flags & ImageTransparentBlack;
    double span = moving.range_max - moving.range_min;
    double t = span != 0 && !std::isnan(value) ? (value - moving.range_min) / span : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    int travel = std::max(0, strip.width - mask.width);
    int shift = static_cast<int>(std::lround(t * travel));
    // The strip shows through the mask's lit pixels.
    for (int my = 0; my < mask.height && my < strip.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            if (mask.Black(mx, my)) continue;
            int sx = std::min(mx + shift, strip.width - 1);
            if (transparent && strip.Black(sx, my)) continue;
            canvas.Set(x + mx, y + my, strip.At(sx, my));
        }
}

void Renderer::DrawString(Canvas& canvas, Gauge& gauge, StringElement& text, int x, int y,
                          const RenderOptions& options) {
    std::string content = gauge.Text(&text.header);
    if (content.empty()) return;
    TextStyle style;
    style.font_name.assign(text.font_name, strnlen(text.font_name, sizeof text.font_name));
    style.weight = static_cast<int>(text.font_weight);
    style.colour = FromColorRef(text.text_colour);
    style.background = FromColorRef(text.background_colour);
    // The record gives no size: the font fills three quarters of the box's
    // height, smaller where the text would not fit its width.
    std::string key = content + '\n' + style.font_name + '\n' + std::to_string(style.weight) + '\n' +
                      std::to_string(text.box_width) + 'x' + std::to_string(text.box_height);
    auto size = text_sizes_.find(key);
    if (size == text_sizes_.end()) {
        style.pixel_height = std::max(6.0f, text.box_height * 0.75f);
        while (style.pixel_height > 6.0f && text_.Measure(content, style) > text.box_width) style.pixel_height -= 1.0f;
        size = text_sizes_.emplace(key, style.pixel_height).first;
    }
    style.pixel_height = size->second;

    std::vector<TextHighlight> highlights;
    if (options.selection && text.highlights) {
        for (const HighlightRange* range = text.highlights; range->first_char >= 0 || range->last_char >= 0; ++range)
            if (range->selection == *options.selection)
                highlights.push_back({range->first_char, range->last_char, FromColorRef(text.highlight_colour)});
    }
    text_.DrawCentred(canvas, x + text.header.position.x, y + text.header.position.y, text.box_width, text.box_height,
                      content, style, highlights);
}

void Renderer::DrawAreas(Canvas& canvas, Gauge& gauge, int x, int y) {
    MouseRect* list = gauge.mouse_list();
    if (!list) return;
    const Rgb outline{255, 0, 255};
    TextStyle label{.font_name = "Arial", .weight = 700, .pixel_height = 10, .colour = {255, 255, 255},
                    .background = {160, 0, 160}};
    for (int index = 0; index < 4096 && list[index].kind != MouseListEnd; ++index) {
        const MouseRect& area = list[index];
        if (area.kind != MouseArea) continue;
        int left = x + area.box_x, top = y + area.box_y;
        int right = left + area.box_width - 1, bottom = top + area.box_height - 1;
        for (int px = left; px <= right; ++px) canvas.Set(px, top, outline), canvas.Set(px, bottom, outline);
        for (int py = top; py <= bottom; ++py) canvas.Set(left, py, outline), canvas.Set(right, py, outline);
        text_.DrawCentred(canvas, left, top, area.box_width, std::min(area.box_height, 12), std::to_string(index), label);
    }
}

}  // namespace panel
