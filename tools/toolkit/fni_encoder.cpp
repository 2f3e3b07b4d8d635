#include "tools/toolkit/fni_encoder.h"

#include "game/present/fni_image.h"
#include "tools/toolkit/byte_writer.h"

namespace tools {

std::vector<uint8_t> EncodeFniStream(const PalettedImage& image) {
    std::vector<uint8_t> stream;
    bool skipPhase = true;
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = &image.indices[static_cast<size_t>(y) * image.width];
        int x = 0;
        while (x < image.width) {
            int count = 0;
            while (x + count < image.width && count < 255 &&
                   (row[x + count] == image.transparentIndex) == skipPhase) {
                ++count;
            }
            stream.push_back(static_cast<uint8_t>(count));
            if (!skipPhase) {
                stream.insert(stream.end(), row + x, row + x + count);
            }
            x += count;
            skipPhase = !skipPhase;
        }
    }
    return stream;
}

std::vector<uint8_t> EncodeFni(const PalettedImage& image) {
    const std::vector<uint8_t> stream = EncodeFniStream(image);
    ByteWriter out;
    PutBytes(out, "FNIBMP", 6);
    PutU16(out, 0);
    PutU16(out, static_cast<uint16_t>(image.width));
    PutU16(out, static_cast<uint16_t>(image.height));
    PutU8(out, image.transparentIndex);
    PutU16(out, static_cast<uint16_t>(PaletteCount(image)));
    PutU32(out, static_cast<uint32_t>(stream.size()));
    PutBytes(out, image.palette.data(), image.palette.size());
    PutBytes(out, stream.data(), stream.size());
    static_assert(present::kFniHeaderSize == 19);
    return out.bytes;
}

}  // namespace tools
