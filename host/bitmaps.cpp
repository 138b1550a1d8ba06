#include "bitmaps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "module_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace panel {

namespace {

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

}  // namespace

Bitmap ParseDib(const uint8_t* data, size_t size) {
    if (size < 40 || U32(data) < 40) throw std::runtime_error("bitmap: no BITMAPINFOHEADER");
    uint32_t header_size = U32(data);
    int32_t width = static_cast<int32_t>(U32(data + 4));
    int32_t height = static_cast<int32_t>(U32(data + 8));
    Bitmap bitmap;
    bitmap.bit_count = U16(data + 14);
    uint32_t compression = U32(data + 16);
    uint32_t colours = U32(data + 32);
    if (bitmap.bit_count != 8 || compression != 0)
        throw std::runtime_error("bitmap: only uncompressed 8-bit pictures are supported");
    if (width <= 0 || height == 0 || width > 4096 || height > 4096 || height < -4096)
        throw std::runtime_error("bitmap: bad size");
    if (colours == 0) colours = 256;
    if (colours > 256) throw std::runtime_error("bitmap: bad palette size");
    bool bottom_up = height > 0;
    bitmap.width = width;
    bitmap.height = bottom_up ? height : -height;
    size_t stride = (size_t(width) + 3) & ~size_t(3);
    size_t palette_at = header_size;
    size_t pixels_at = palette_at + 4 * size_t(colours);
    if (pixels_at + stride * size_t(bitmap.height) > size) throw std::runtime_error("bitmap: truncated");
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* entry = data + palette_at + 4 * i;
        bitmap.palette.push_back({entry[2], entry[1], entry[0]});
    }
    bitmap.pixels.resize(size_t(width) * size_t(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) {
        int row = bottom_up ? bitmap.height - 1 - y : y;
        std::memcpy(&bitmap.pixels[size_t(y) * size_t(width)], data + pixels_at + stride * size_t(row), size_t(width));
    }
    for (uint8_t index : bitmap.pixels)
        if (index >= colours) throw std::runtime_error("bitmap: pixel outside the palette");
    return bitmap;
}

Bitmap ParseBmpFile(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') throw std::runtime_error("bitmap: not a BMP file");
    return ParseDib(bytes.data() + 14, bytes.size() - 14);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

#if defined(_WIN32)

std::optional<Bitmap> LoadModuleBitmap(const ModuleLibrary& module, uint32_t id) {
    auto handle = static_cast<HMODULE>(module.native_handle());
    HRSRC resource = FindResourceA(handle, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!resource) return std::nullopt;
    HGLOBAL loaded = LoadResource(handle, resource);
    auto* data = static_cast<const uint8_t*>(LockResource(loaded));
    if (!data) return std::nullopt;
    return ParseDib(data, SizeofResource(handle, resource));
}

namespace {

BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<uint32_t>*>(list)->push_back(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(name)));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<uint16_t>*>(list)->push_back(language);
    return TRUE;
}

}  // namespace

std::vector<uint32_t> ModuleBitmapIds(const ModuleLibrary& module) {
    std::vector<uint32_t> ids;
    EnumResourceNamesA(static_cast<HMODULE>(module.native_handle()), MAKEINTRESOURCEA(2), CollectId,
                       reinterpret_cast<LONG_PTR>(&ids));
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<uint16_t> BitmapLanguages(const ModuleLibrary& module, uint32_t id) {
    std::vector<uint16_t> languages;
    EnumResourceLanguagesA(static_cast<HMODULE>(module.native_handle()), MAKEINTRESOURCEA(2),
                           MAKEINTRESOURCEA(id), CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

#else

namespace {

// build/linux/modules/NAME.so keeps its bitmaps in build/linux/modules/NAME/.
std::string BitmapFolder(const ModuleLibrary& module) {
    std::string path = module.path();
    auto dot = path.rfind('.');
    auto slash = path.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
    return path + "/";
}

std::string BitmapFile(uint32_t id) {
    char name[16];
    std::snprintf(name, sizeof name, "%04X.bmp", id);
    return name;
}

}  // namespace

std::optional<Bitmap> LoadModuleBitmap(const ModuleLibrary& module, uint32_t id) {
    std::ifstream probe(BitmapFolder(module) + BitmapFile(id), std::ios::binary);
    if (!probe) return std::nullopt;
    return ParseBmpFile(ReadFileBytes(BitmapFolder(module) + BitmapFile(id)));
}

std::vector<uint32_t> ModuleBitmapIds(const ModuleLibrary& module) {
    std::vector<uint32_t> ids;
    DIR* folder = opendir(BitmapFolder(module).c_str());
    if (!folder) return ids;
    while (dirent* entry = readdir(folder)) {
        unsigned id = 0;
        char rest[8] = {};
        if (std::sscanf(entry->d_name, "%4X.%4s", &id, rest) == 2 && std::strcmp(rest, "bmp") == 0 &&
            BitmapFile(id) == entry->d_name)
            ids.push_back(id);
    }
    closedir(folder);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<uint16_t> BitmapLanguages(const ModuleLibrary&, uint32_t) {
    return {};
}

#endif

}  // namespace panel
