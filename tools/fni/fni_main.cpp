// fni encode INPUT.svg|INPUT.png OUTPUT.fni [--size WxH] [--dither 0..1] [--speed 1..10] [--shade 0..1]
//            [--for-16bit 1] [--tileable both|across|down] [--clear-border 1] [--preview OUT.png]
// fni decode INPUT.fni OUTPUT.png
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/present/fni_image.h"
#include "tools/toolkit/fni_encoder.h"
#include "tools/toolkit/image_adjust.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/palette_quantizer.h"
#include "tools/toolkit/png_file.h"
#include "tools/toolkit/svg_render.h"

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: fni encode INPUT.svg|INPUT.png OUTPUT.fni [--size WxH] [--dither D] [--speed S] "
        "[--shade F] [--for-16bit 1] [--tileable both|across|down] [--clear-border 1] [--preview OUT.png]\n"
        "       fni decode INPUT.fni OUTPUT.png\n");
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "fni: %s\n", message.c_str());
    return 1;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

int Encode(int argc, char** argv) {
    if (argc < 4) {
        return Usage();
    }
    const std::string input = argv[2];
    const std::string output = argv[3];
    int width = 0;
    int height = 0;
    std::string preview;
    double shade = 1.0;
    bool for16Bit = false;
    std::string_view tileable;
    bool clearBorder = false;
    tools::QuantizeOptions options;
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string_view flag = argv[i];
        if (flag == "--size") {
            if (std::sscanf(argv[i + 1], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
                return Fail(std::string("bad --size ") + argv[i + 1]);
            }
        } else if (flag == "--dither") {
            options.dithering = std::strtof(argv[i + 1], nullptr);
        } else if (flag == "--preview") {
            preview = argv[i + 1];
        } else if (flag == "--shade") {
            shade = std::strtod(argv[i + 1], nullptr);
            if (!(shade > 0 && shade <= 1)) {
                return Fail(std::string("bad --shade ") + argv[i + 1]);
            }
        } else if (flag == "--tileable") {
            tileable = argv[i + 1];
            if (tileable != "both" && tileable != "across" && tileable != "down") {
                return Fail(std::string("bad --tileable ") + argv[i + 1]);
            }
        } else if (flag == "--clear-border") {
            clearBorder = std::string_view(argv[i + 1]) == "1";
        } else if (flag == "--for-16bit") {
            for16Bit = std::string_view(argv[i + 1]) == "1";
        } else if (flag == "--speed") {
            options.speed = std::atoi(argv[i + 1]);
        } else {
            return Usage();
        }
    }
    tools::RgbaImage image;
    std::string error;
    const bool read = EndsWith(input, ".svg") ? tools::RenderSvg(input, width, height, image, error)
                                              : tools::ReadPng(input, image, error);
    if (!read) {
        return Fail(error);
    }
    if (!tileable.empty()) {
        tools::MakeTileable(image, tileable != "down", tileable != "across");
    }
    if (clearBorder) {
        tools::ClearBorder(image);
    }
    if (shade < 1.0) {
        tools::ShadeImage(image, shade);
    }
    if (for16Bit) {
        tools::DitherTo16Bit(image);
    }
    tools::PalettedImage paletted;
    if (!tools::QuantizeImage(image, options, paletted, error)) {
        return Fail(input + ": " + error);
    }
    if (!tools::WriteFileAtomically(output, tools::EncodeFni(paletted), error)) {
        return Fail(error);
    }
    if (!preview.empty() && !tools::WritePng(preview, tools::PalettedToRgba(paletted), error)) {
        return Fail(error);
    }
    return 0;
}

// Reads a picture the way the game does and writes what it holds as a PNG (transparent pixels
// stay transparent).
int Decode(int argc, char** argv) {
    if (argc != 4) {
        return Usage();
    }
    present::FniImage image;
    if (present::LoadFni(image, argv[2], false) != 0) {
        return Fail(std::string(argv[2]) + ": not a readable FNI picture");
    }
    tools::PalettedImage paletted;
    paletted.width = image.width;
    paletted.height = image.height;
    paletted.palette = image.palette;
    paletted.indices = image.pixels;
    paletted.transparentIndex = image.transparentIndex;
    present::FreeFni(image);
    std::string error;
    if (!tools::WritePng(argv[3], tools::PalettedToRgba(paletted), error)) {
        return Fail(error);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string_view command = argv[1];
    if (command == "encode") {
        return Encode(argc, argv);
    }
    if (command == "decode") {
        return Decode(argc, argv);
    }
    return Usage();
}
