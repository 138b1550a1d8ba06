// Draws a running gauge as the simulator would: every element before its
// children, every list in order, from the module's own bitmaps.
#pragma once

#include <functional>
#include <map>
#include <vector>
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
    // A bitmap in the form drawing wants it (colours looked up, pure black
    // marked), made once. Throws std::runtime_error when the module has none.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<Rgb> colours;
        std::vector<uint8_t> black;
        std::vector<uint8_t> rgb;  // the colours as canvas bytes
        // Per row, the runs [first, end) of pixels that are not pure black.
        std::vector<std::vector<std::pair<int, int>>> runs;
        Rgb At(int x, int y) const { return colours[size_t(y) * size_t(width) + size_t(x)]; }
        bool Black(int x, int y) const { return black[size_t(y) * size_t(width) + size_t(x)] != 0; }
    };
    const Picture& PictureFor(uint32_t id);

    // Where a needle points for a value: the angle (radians, screen
    // coordinates) about the needle's position, interpolated between the
    // scale's points and held at the first and last.
    static double NeedleAngle(const NeedleElement& needle, double value);

private:
    void DrawElement(Canvas& canvas, Gauge& gauge, ElementHeader* element, int x, int y, const RenderOptions& options);
    void DrawImage(Canvas& canvas, const Picture& picture, int x, int y, bool transparent_black);
    void DrawNeedle(Canvas& canvas, const NeedleElement& needle, double value, int x, int y);
    void DrawMovingImage(Canvas& canvas, const MovingImageElement& moving, double value, int x, int y);
    void DrawString(Canvas& canvas, Gauge& gauge, StringElement& text, int x, int y, const RenderOptions& options);
    void DrawAreas(Canvas& canvas, Gauge& gauge, int x, int y);

    BitmapSource source_;
    std::map<uint32_t, Picture> pictures_;
    TextRenderer text_;
    // The font size that fits each text in its box, found once.
    std::map<std::string, float> text_sizes_;
};

}  // namespace panel
