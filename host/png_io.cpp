#include <stdexcept>
#include <string>

#include "canvas.h"

#include <stb_image.h>
#include <stb_image_write.h>

namespace panel {

void WritePng(const Canvas& canvas, const std::string& path) {
    if (!stbi_write_png(path.c_str(), canvas.width, canvas.height, 3, canvas.rgb.data(), canvas.width * 3))
        throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> EncodePng(const Canvas& canvas) {
    std::vector<uint8_t> bytes;
    auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    };
    stbi_write_png_to_func(append, &bytes, canvas.width, canvas.height, 3, canvas.rgb.data(), canvas.width * 3);
    return bytes;
}

Canvas ReadPng(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!data) throw std::runtime_error("cannot read " + path + ": " + stbi_failure_reason());
    Canvas canvas(width, height);
    std::copy(data, data + size_t(width) * size_t(height) * 3, canvas.rgb.begin());
    stbi_image_free(data);
    return canvas;
}

}  // namespace panel
