#include "platform/png_file.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace platform {

int WritePng(DrawSurface& surface, const char* path) {
    if (surface.pixels == nullptr) {
        return 1;
    }
    // Made before setjmp: a jump back from libpng must not skip a destructor.
    std::vector<png_byte> row(static_cast<size_t>(surface.width) * 3);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return 1;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return 1;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.width), static_cast<png_uint_32>(surface.height),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            const uint32_t rgb = ReadPixelRgb(surface, x, y);
            row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(rgb >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(rgb >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(rgb);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 ? 0 : 1;
}

namespace {

// Reads a PNG file as 8-bit channels in the given order (RGB or ARGB) into 32-bit pixels, the
// first channel highest.
int ReadPngPixels(const char* path, png_uint_32 format, int& width, int& height,
                  std::vector<uint32_t>& pixels) {
    pixels.clear();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0) {
        return 1;
    }
    image.format = format;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return 1;
    }
    const size_t channels = PNG_IMAGE_PIXEL_CHANNELS(format);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t pixel = 0;
        for (size_t c = 0; c < channels; ++c) {
            pixel = pixel << 8 | bytes[i * channels + c];
        }
        pixels[i] = pixel;
    }
    return 0;
}

}  // namespace

int ReadPng(const char* path, int& width, int& height, std::vector<uint32_t>& pixels) {
    return ReadPngPixels(path, PNG_FORMAT_RGB, width, height, pixels);
}

int ReadPngArgb(const char* path, int& width, int& height, std::vector<uint32_t>& pixels) {
    return ReadPngPixels(path, PNG_FORMAT_ARGB, width, height, pixels);
}

}  // namespace platform
