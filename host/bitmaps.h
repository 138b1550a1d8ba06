// A gauge module's bitmaps: 8-bit palette pictures named by numeric id. On
// Windows they are the module's own resources; the Linux build keeps the
// same files beside the module, in a folder named after it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace panel {

class ModuleLibrary;

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    int bit_count = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;  // palette indices, top row first

    Rgb At(int x, int y) const { return palette[pixels[size_t(y) * size_t(width) + size_t(x)]]; }
};

// Parses a bitmap from its info header on (the form a resource holds).
// Throws std::runtime_error on anything but an uncompressed 8-bit picture.
Bitmap ParseDib(const uint8_t* data, size_t size);
// Parses a .bmp file's bytes (file header, then the same).
Bitmap ParseBmpFile(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The bitmap with this id in the module, or nothing when it has none.
std::optional<Bitmap> LoadModuleBitmap(const ModuleLibrary& module, uint32_t id);
// Every bitmap id the module carries, ascending.
std::vector<uint32_t> ModuleBitmapIds(const ModuleLibrary& module);
// The resource languages a module's bitmap carries (Windows only; empty
// elsewhere).
std::vector<uint16_t> BitmapLanguages(const ModuleLibrary& module, uint32_t id);

}  // namespace panel
