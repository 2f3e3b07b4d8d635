#include "tools/toolkit/svg_render.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>

namespace tools {
namespace {

// Cairo keeps premultiplied native-endian ARGB words; pictures here are straight RGBA bytes.
void CopyFromCairo(cairo_surface_t* surface, RgbaImage& image) {
    cairo_surface_flush(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t argb = row[x];
            const uint32_t a = argb >> 24;
            uint8_t* out = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const uint32_t premultiplied = (argb >> (16 - 8 * c)) & 0xFF;
                out[c] = a == 0 ? 0 : static_cast<uint8_t>((premultiplied * 255 + a / 2) / a);
            }
            out[3] = static_cast<uint8_t>(a);
        }
    }
}

bool RenderHandle(RsvgHandle* handle, GError* gerror, const std::string& path, int width, int height,
                  RgbaImage& image, std::string& error) {
    if (handle == nullptr) {
        error = path + ": " + (gerror != nullptr ? gerror->message : "cannot read the SVG");
        if (gerror != nullptr) {
            g_error_free(gerror);
        }
        return false;
    }
    if (width <= 0 || height <= 0) {
        double w = 0;
        double h = 0;
        if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &w, &h) || w < 1 || h < 1) {
            error = path + ": the SVG has no size of its own; give one";
            g_object_unref(handle);
            return false;
        }
        width = static_cast<int>(std::lround(w));
        height = static_cast<int>(std::lround(h));
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
    const bool rendered = rsvg_handle_render_document(handle, cr, &viewport, &gerror);
    cairo_destroy(cr);
    if (rendered) {
        image = MakeRgbaImage(width, height);
        CopyFromCairo(surface, image);
    } else {
        error = path + ": " + (gerror != nullptr ? gerror->message : "cannot render the SVG");
        if (gerror != nullptr) {
            g_error_free(gerror);
        }
    }
    cairo_surface_destroy(surface);
    g_object_unref(handle);
    return rendered;
}

}  // namespace

bool RenderSvg(const std::string& path, int width, int height, RgbaImage& image, std::string& error) {
    GError* gerror = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_file(path.c_str(), &gerror);
    return RenderHandle(handle, gerror, path, width, height, image, error);
}

bool RenderSvgText(const std::string& svg, const std::string& name, int width, int height, RgbaImage& image,
                   std::string& error) {
    GError* gerror = nullptr;
    RsvgHandle* handle =
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &gerror);
    return RenderHandle(handle, gerror, name, width, height, image, error);
}

}  // namespace tools
