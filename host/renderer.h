// Draws a running gauge as the simulator would: every element before its
// children, every list in order, from the module's own bitmaps.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "canvas.h"
#include "panel_host.h"
#include "text_renderer.h"

namespace panel {

struct RenderOptions {
    // The host's current selection for highlighted text; none by default.
    std::optional<int32_t> selection;
    // Outline every mouse area with its index.
    bool show_areas = false;
};

// Where the renderer gets a bitmap by id (the module's own, by default).
using BitmapSource = std::function<std::optional<Bitmap>(uint32_t id)>;

class Renderer {
public:
    explicit Renderer(BitmapSource bitmaps);
    // For a loaded module: its resources, or the files beside it.
    explicit Renderer(const ModuleLibrary& module);

    // The gauge at the size of its root bitmap.
    Canvas Render(Gauge& gauge, const RenderOptions& options = {});
    // Into an existing canvas, with the gauge's origin at (x, y).
    void RenderInto(Canvas& canvas, Gauge& gauge, int x, int y, const RenderOptions& options = {});
    // A bitmap, loaded once. Throws std::runtime_error when the module has none.
    const Bitmap& BitmapFor(uint32_t id);

    // Where a needle points for a value: the angle (radians, screen
    // coordinates) about the needle's position, interpolated between the
    // scale's points and held at the first and last.
    static double NeedleAngle(const NeedleElement& needle, double value);

private:
    void DrawElement(Canvas& canvas, Gauge& gauge, ElementHeader* element, int x, int y, const RenderOptions& options);
    void DrawImage(Canvas& canvas, const Bitmap& bitmap, int x, int y, bool transparent_black);
    void DrawNeedle(Canvas& canvas, const NeedleElement& needle, double value, int x, int y);
    void DrawMovingImage(Canvas& canvas, const MovingImageElement& moving, double value, int x, int y);
    void DrawString(Canvas& canvas, Gauge& gauge, StringElement& text, int x, int y, const RenderOptions& options);
    void DrawAreas(Canvas& canvas, Gauge& gauge, int x, int y);

    BitmapSource source_;
    std::map<uint32_t, Bitmap> bitmaps_;
    TextRenderer text_;
};

}  // namespace panel
