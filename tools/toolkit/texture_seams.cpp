#include "tools/toolkit/texture_seams.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tools {
namespace {

struct Picture {
    const present::FniImage& image;

    int Index(int x, int y) const { return image.pixels[static_cast<size_t>(y) * image.width + x]; }
    bool Transparent(int x, int y) const { return Index(x, y) == image.transparentIndex; }
    // Sum of the red, green and blue differences of two pixels.
    int Difference(int x0, int y0, int x1, int y1) const {
        const size_t a = static_cast<size_t>(Index(x0, y0)) * 4;
        const size_t b = static_cast<size_t>(Index(x1, y1)) * 4;
        if (a + 3 > image.palette.size() || b + 3 > image.palette.size()) {
            return 0;
        }
        int sum = 0;
        for (int c = 0; c < 3; ++c) {
            sum += std::abs(image.palette[a + c] - image.palette[b + c]);
        }
        return sum;
    }
};

// The mean colour step across the wrap (last column to first, or last row to first) against the
// largest mean step between two neighbouring columns (or rows) inside the picture: a seam is a
// step larger than any the picture itself has, such as a stripe's edge.
std::string ColourSeam(const Picture& p, bool across) {
    const int w = p.image.width, h = p.image.height;
    const int lines = across ? h : w;
    const int length = across ? w : h;
    auto at = [across](int k, int i, int& x, int& y) { across ? (x = k, y = i) : (x = i, y = k); };
    // Mean step from position k to position k + 1 (wrapping), over all lines.
    auto meanStep = [&](int k) {
        double sum = 0;
        for (int i = 0; i < lines; ++i) {
            int x0, y0, x1, y1;
            at(k, i, x0, y0);
            at((k + 1) % length, i, x1, y1);
            sum += p.Difference(x0, y0, x1, y1);
        }
        return sum / lines;
    };
    for (int i = 0; i < lines; ++i) {
        int x0, y0, x1, y1;
        at(length - 1, i, x0, y0);
        at(0, i, x1, y1);
        if (p.Transparent(x0, y0) != p.Transparent(x1, y1)) {
            char text[96];
            std::snprintf(text, sizeof text, "its %s edges differ in transparency at %s %d",
                          across ? "left and right" : "top and bottom", across ? "row" : "column", i);
            return text;
        }
    }
    double largestInside = 0;
    for (int k = 0; k + 1 < length; ++k) {
        largestInside = std::max(largestInside, meanStep(k));
    }
    const double wrap = meanStep(length - 1);
    if (wrap > 1.5 * largestInside + 4) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "its %s edges do not meet (a step of %.0f where the picture's largest is %.0f)",
                      across ? "left and right" : "top and bottom", wrap, largestInside);
        return text;
    }
    return "";
}

std::string OpaqueBorder(const Picture& p) {
    const int w = p.image.width, h = p.image.height;
    for (int x = 0; x < w; ++x) {
        if (!p.Transparent(x, 0) || !p.Transparent(x, h - 1)) {
            return "its top and bottom rows must be transparent (column " + std::to_string(x) + " is not)";
        }
    }
    for (int y = 0; y < h; ++y) {
        if (!p.Transparent(0, y) || !p.Transparent(w - 1, y)) {
            return "its left and right columns must be transparent (row " + std::to_string(y) + " is not)";
        }
    }
    return "";
}

}  // namespace

std::string WrapSeamProblem(const present::FniImage& image, TextureWrap wrap) {
    if (image.width < 2 || image.height < 2 ||
        image.pixels.size() < static_cast<size_t>(image.width) * image.height) {
        return "not a whole picture";
    }
    const Picture p{image};
    switch (wrap) {
        case TextureWrap::kCutOut:
            return OpaqueBorder(p);
        case TextureWrap::kOnce:
            return "";
        case TextureWrap::kAcross:
            return ColourSeam(p, true);
        case TextureWrap::kBothWays: {
            const std::string across = ColourSeam(p, true);
            return across.empty() ? ColourSeam(p, false) : across;
        }
    }
    return "";
}

}  // namespace tools
