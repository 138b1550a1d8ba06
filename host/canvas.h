// An RGB picture in memory, top row first.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmaps.h"

namespace panel {

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3

    Canvas() = default;
    Canvas(int w, int h) : width(w), height(h), rgb(size_t(w) * size_t(h) * 3, 0) {}

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb At(int x, int y) const {
        const uint8_t* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
        return {p[0], p[1], p[2]};
    }
    void Set(int x, int y, Rgb colour) {
        if (!Inside(x, y)) return;
        uint8_t* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
        p[0] = colour.r;
        p[1] = colour.g;
        p[2] = colour.b;
    }
    // Lays a colour over the pixel with coverage 0 to 1.
    void Blend(int x, int y, float r, float g, float b, float coverage) {
        if (!Inside(x, y) || coverage <= 0.0f) return;
        coverage = std::min(coverage, 1.0f);
        uint8_t* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
        p[0] = static_cast<uint8_t>(p[0] + (r - p[0]) * coverage + 0.5f);
        p[1] = static_cast<uint8_t>(p[1] + (g - p[1]) * coverage + 0.5f);
        p[2] = static_cast<uint8_t>(p[2] + (b - p[2]) * coverage + 0.5f);
    }
    void Blend(int x, int y, Rgb colour, float coverage) { Blend(x, y, colour.r, colour.g, colour.b, coverage); }
    void Fill(int x0, int y0, int w, int h, Rgb colour) {
        for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x) Set(x, y, colour);
    }
    void Paste(const Canvas& other, int x0, int y0) {
        for (int y = 0; y < other.height; ++y)
            for (int x = 0; x < other.width; ++x) Set(x0 + x, y0 + y, other.At(x, y));
    }
};

// A Windows colour value 0x00BBGGRR.
inline Rgb FromColorRef(uint32_t value) {
    return {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
            static_cast<uint8_t>((value >> 16) & 0xFF)};
}

void WritePng(const Canvas& canvas, const std::string& path);  // throws std::runtime_error
std::vector<uint8_t> EncodePng(const Canvas& canvas);
Canvas ReadPng(const std::string& path);                        // throws std::runtime_error

}  // namespace panel
