#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "game/present/fni_image.h"

namespace present {

namespace {

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

int LoadFniFromBytes(FniImage& image, const uint8_t* data, size_t size, bool keepCompressed) {
    if (data == nullptr || size < static_cast<size_t>(kFniHeaderSize) ||
        std::memcmp(data, "FNIBMP", 6) != 0) {
        return kFniBadHeader;
    }
    FniImage loaded;
    std::memcpy(loaded.magic, data, 6);
    loaded.unread = ReadU16(data + 6);
    loaded.width = ReadU16(data + 8);
    loaded.height = ReadU16(data + 10);
    loaded.transparentIndex = data[12];
    loaded.paletteCount = ReadU16(data + 13);
    loaded.dataSize = ReadU32(data + 15);
    if (static_cast<uint32_t>(loaded.width) * loaded.height > kFniMaxPixels) {
        return kFniTooLarge;
    }
    const size_t paletteBytes = static_cast<size_t>(loaded.paletteCount) * 4;
    const size_t afterHeader = size - kFniHeaderSize;
    if (afterHeader < paletteBytes) {
        return kFniBadHeader;
    }
    const uint8_t* palette = data + kFniHeaderSize;
    loaded.palette.assign(palette, palette + paletteBytes);
    const size_t streamBytes = std::min<size_t>(loaded.dataSize, afterHeader - paletteBytes);
    loaded.pixels.assign(palette + paletteBytes, palette + paletteBytes + streamBytes);
    loaded.dataSize = static_cast<uint32_t>(streamBytes);
    loaded.compressed = 1;
    if (!keepCompressed) {
        ExpandFni(loaded);
    }
    image = std::move(loaded);
    return 0;
}

int LoadFni(FniImage& image, const char* path, bool keepCompressed) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return kFniMissingFile;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    return LoadFniFromBytes(image, bytes.data(), bytes.size(), keepCompressed);
}

int ExpandFni(FniImage& image) {
    if (image.compressed == 0) {
        return 0;
    }
    const size_t total = static_cast<size_t>(image.width) * image.height;
    std::vector<uint8_t> expanded(total, image.transparentIndex);
    const std::vector<uint8_t>& stream = image.pixels;
    size_t in = 0;
    size_t out = 0;
    bool literal = false;
    while (in < stream.size() && out < total) {
        const size_t count = stream[in++];
        const size_t room = total - out;
        if (literal) {
            const size_t available = std::min(count, stream.size() - in);
            std::memcpy(expanded.data() + out, stream.data() + in, std::min(available, room));
            in += available;
        }
        out += std::min(count, room);
        literal = !literal;
    }
    image.pixels = std::move(expanded);
    image.compressed = 0;
    return 0;
}

int FreeFni(FniImage& image) {
    image = FniImage{};
    return 0;
}

}  // namespace present
