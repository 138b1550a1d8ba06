#include "text_renderer.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <tuple>

#include <stb_truetype.h>

namespace panel {

namespace {

std::vector<std::string> FontFolders() {
    std::vector<std::string> folders;
    if (const char* folder = std::getenv("PANELHOST_FONT_DIR"); folder && *folder) folders.push_back(folder);
#if defined(_WIN32)
    // Under Wine the Debian fonts are seen through drive Z:.
    folders.push_back("Z:/usr/share/fonts/truetype/liberation");
#endif
    folders.push_back("/usr/share/fonts/truetype/liberation");
    return folders;
}

}  // namespace

// A font file in memory, with the glyphs drawn so far kept per size.
struct TextRenderer::Font {
    std::vector<unsigned char> bytes;
    stbtt_fontinfo info{};

    struct Glyph {
        int x0 = 0, y0 = 0, width = 0, height = 0;
        std::vector<unsigned char> coverage;
    };
    std::map<std::tuple<float, int, int>, Glyph> glyphs;  // (height, codepoint, subpixel quarter)

    const Glyph& GlyphFor(float pixel_height, int codepoint, float shift_x) {
        int quarter = static_cast<int>(shift_x * 4) & 3;
        auto key = std::make_tuple(pixel_height, codepoint, quarter);
        auto found = glyphs.find(key);
        if (found != glyphs.end()) return found->second;
        float scale = stbtt_ScaleForPixelHeight(&info, pixel_height);
        Glyph glyph;
        int x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(&info, codepoint, scale, scale, quarter / 4.0f, 0, &glyph.x0, &glyph.y0,
                                            &x1, &y1);
        glyph.width = x1 - glyph.x0;
        glyph.height = y1 - glyph.y0;
        if (glyph.width > 0 && glyph.height > 0) {
            glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
            stbtt_MakeCodepointBitmapSubpixel(&info, glyph.coverage.data(), glyph.width, glyph.height, glyph.width,
                                              scale, scale, quarter / 4.0f, 0, codepoint);
        }
        return glyphs.emplace(key, std::move(glyph)).first->second;
    }
};

TextRenderer::TextRenderer() = default;
TextRenderer::~TextRenderer() = default;

std::string TextRenderer::FontFile(const std::string& font_name, int weight) {
    bool bold = weight >= 600;
    std::string family = font_name == "Arial Narrow" ? "LiberationSansNarrow" : "LiberationSans";
    return family + (bold ? "-Bold.ttf" : "-Regular.ttf");
}

TextRenderer::Font& TextRenderer::FontFor(const std::string& font_name, int weight) {
    std::string file = FontFile(font_name, weight);
    auto found = fonts_.find(file);
    if (found != fonts_.end()) return *found->second;
    auto font = std::make_unique<Font>();
    for (const std::string& folder : FontFolders()) {
        std::ifstream in(folder + "/" + file, std::ios::binary);
        if (!in) continue;
        font->bytes.assign(std::istreambuf_iterator<char>(in), {});
        break;
    }
    if (font->bytes.empty() || !stbtt_InitFont(&font->info, font->bytes.data(), 0))
        throw std::runtime_error("font " + file + " not found (install Debian's fonts-liberation or set "
                                 "PANELHOST_FONT_DIR)");
    return *fonts_.emplace(file, std::move(font)).first->second;
}

float TextRenderer::Measure(const std::string& text, const TextStyle& style) {
    Font& font = FontFor(style.font_name, style.weight);
    float scale = stbtt_ScaleForPixelHeight(&font.info, style.pixel_height);
    float width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        int codepoint = static_cast<unsigned char>(text[i]);
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&font.info, codepoint, &advance, &bearing);
        width += advance * scale;
        if (i + 1 < text.size())
            width += scale * stbtt_GetCodepointKernAdvance(&font.info, codepoint, static_cast<unsigned char>(text[i + 1]));
    }
    return width;
}

void TextRenderer::DrawCentred(Canvas& canvas, int box_x, int box_y, int box_w, int box_h, const std::string& text,
                               const TextStyle& style, const std::vector<TextHighlight>& highlights) {
    if (text.empty()) return;
    Font& font = FontFor(style.font_name, style.weight);
    float scale = stbtt_ScaleForPixelHeight(&font.info, style.pixel_height);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&font.info, &ascent, &descent, &gap);
    float line_height = (ascent - descent) * scale;
    float width = Measure(text, style);
    float left = box_x + (box_w - width) / 2.0f;
    float top = box_y + (box_h - line_height) / 2.0f;
    float baseline = top + ascent * scale;

    // The background goes under the text's own extent, as an opaque text
    // background does, not under the whole box.
    if (style.fill_background)
        canvas.Fill(static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
                    static_cast<int>(std::ceil(width)) + 1, static_cast<int>(std::ceil(line_height)), style.background);

    float pen = left;
    int base = static_cast<int>(std::floor(baseline + 0.5f));
    for (size_t i = 0; i < text.size(); ++i) {
        int codepoint = static_cast<unsigned char>(text[i]);
        Rgb colour = style.colour;
        for (const TextHighlight& highlight : highlights)
            if (static_cast<int>(i) >= highlight.first && static_cast<int>(i) <= highlight.last) colour = highlight.colour;
        int origin = static_cast<int>(std::floor(pen));
        const Font::Glyph& glyph = font.GlyphFor(style.pixel_height, codepoint, pen - origin);
        for (int gy = 0; gy < glyph.height; ++gy)
            for (int gx = 0; gx < glyph.width; ++gx) {
                unsigned char c = glyph.coverage[size_t(gy) * size_t(glyph.width) + size_t(gx)];
                if (c) canvas.Blend(origin + glyph.x0 + gx, base + glyph.y0 + gy, colour, c / 255.0f);
            }
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&font.info, codepoint, &advance, &bearing);
        pen += advance * scale;
        if (i + 1 < text.size())
            pen += scale * stbtt_GetCodepointKernAdvance(&font.info, codepoint, static_cast<unsigned char>(text[i + 1]));
    }
}

}  // namespace panel
