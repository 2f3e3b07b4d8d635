#include "tools/toolkit/png_file.h"

#include <png.h>

#include <cstring>

#include "tools/toolkit/output_file.h"

namespace tools {

bool ReadPng(const std::string& path, RgbaImage& image, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        return false;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        error = path + ": not a readable PNG: " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    RgbaImage result = MakeRgbaImage(static_cast<int>(png.width), static_cast<int>(png.height));
    if (!png_image_finish_read(&png, nullptr, result.rgba.data(), 0, nullptr)) {
        error = path + ": broken PNG: " + png.message;
        png_image_free(&png);
        return false;
    }
    image = std::move(result);
    return true;
}

bool WritePng(const std::string& path, const RgbaImage& image, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgba.data(), 0, nullptr)) {
        error = path + ": cannot encode the PNG: " + png.message;
        return false;
    }
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgba.data(), 0, nullptr)) {
        error = path + ": cannot encode the PNG: " + png.message;
        return false;
    }
    bytes.resize(size);
    return WriteFileAtomically(path, bytes, error);
}

}  // namespace tools
