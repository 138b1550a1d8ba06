// Text as the simulator draws a gauge's string: one line, centred both ways
// in its box, on the background colour, with highlighted characters.
// "Arial" and "Arial Narrow" are drawn with the metric-compatible
// Liberation fonts.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"

namespace panel {

struct TextStyle {
    std::string font_name;
    int weight = 400;
    float pixel_height = 12;
    Rgb colour{0, 0, 0};
    Rgb background{0, 0, 0};
    bool fill_background = true;
};

// Characters first to last drawn in another colour.
struct TextHighlight {
    int first;
    int last;
    Rgb colour;
};

class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();

    // Width in pixels of the text in the style.
    float Measure(const std::string& text, const TextStyle& style);
    // Draws the text centred in the box.
    void DrawCentred(Canvas& canvas, int box_x, int box_y, int box_w, int box_h, const std::string& text,
                     const TextStyle& style, const std::vector<TextHighlight>& highlights = {});
    // The font files used, by their face names ("Arial" and the like).
    static std::string FontFile(const std::string& font_name, int weight);

private:
    struct Font;
    Font& FontFor(const std::string& font_name, int weight);
    std::map<std::string, std::unique_ptr<Font>> fonts_;
};

}  // namespace panel
