// fni encode INPUT.svg|INPUT.png OUTPUT.fni [--size WxH] [--dither 0..1] [--speed 1..10] [--preview OUT.png]
// fni decode INPUT.fni OUTPUT.png
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/present/fni_image.h"
#include "tools/toolkit/fni_encoder.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/palette_quantizer.h"
#include "tools/toolkit/png_file.h"
#include "tools/toolkit/svg_render.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: fni encode INPUT.svg|INPUT.png OUTPUT.fni [--size WxH] [--dither D] [--speed S] "
                 "[--preview OUT.png]\n"
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
