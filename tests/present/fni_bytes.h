#pragma once
// Builds FNI files byte by byte for tests and benchmarks: the header exactly as laid out on disk,
// and a run encoder that codes pixel indices as alternating skip and literal runs.

#include <array>
#include <cstdint>
#include <vector>

namespace fni_bytes {

using Color = std::array<uint8_t, 4>;  // blue, green, red, reserved

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// A whole file. dataSize is written as given (tests lie about it on purpose).
inline std::vector<uint8_t> File(uint16_t width, uint16_t height, uint8_t transparent,
                                 const std::vector<Color>& palette, const std::vector<uint8_t>& stream,
                                 uint32_t dataSize) {
    std::vector<uint8_t> out{'F', 'N', 'I', 'B', 'M', 'P', 0xAB, 0xCD};
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(transparent);
    PutU16(out, static_cast<uint32_t>(palette.size()));
    PutU32(out, dataSize);
    for (const Color& c : palette) {
        out.insert(out.end(), c.begin(), c.end());
    }
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

inline std::vector<uint8_t> File(uint16_t width, uint16_t height, uint8_t transparent,
                                 const std::vector<Color>& palette, const std::vector<uint8_t>& stream) {
    return File(width, height, transparent, palette, stream, static_cast<uint32_t>(stream.size()));
}

// Codes width x height indices row by row; runs never cross a row end.
inline std::vector<uint8_t> Encode(const std::vector<uint8_t>& indices, int width, uint8_t transparent) {
    std::vector<uint8_t> stream;
    bool literal = false;
    const int height = width > 0 ? static_cast<int>(indices.size()) / width : 0;
    for (int row = 0; row < height; ++row) {
        const uint8_t* p = indices.data() + static_cast<size_t>(row) * width;
        int x = 0;
        while (x < width) {
            int n = 0;
            while (x + n < width && n < 255 && ((p[x + n] == transparent) != literal)) {
                ++n;
            }
            stream.push_back(static_cast<uint8_t>(n));
            if (literal) {
                stream.insert(stream.end(), p + x, p + x + n);
            }
            x += n;
            literal = !literal;
        }
    }
    return stream;
}

}  // namespace fni_bytes
