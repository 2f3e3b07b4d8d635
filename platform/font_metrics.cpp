#include "platform/font_metrics.h"

namespace platform {

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

int ReadU16(const uint8_t* p) {
    return p[0] << 8 | p[1];
}

// Finds a table in the font whose table directory starts at offset; returns its offset in the file
// when the whole table range [offset, offset + needed) lies inside the data, else 0.
size_t FindTable(const uint8_t* data, size_t size, size_t directory, const char tag[4], size_t needed) {
    if (directory > size || size - directory < 12) {
        return 0;
    }
    int count = ReadU16(data + directory + 4);
    for (int i = 0; i < count; ++i) {
        size_t entry = directory + 12 + static_cast<size_t>(i) * 16;
        if (entry + 16 > size) {
            return 0;
        }
        if (data[entry] == tag[0] && data[entry + 1] == tag[1] && data[entry + 2] == tag[2] &&
            data[entry + 3] == tag[3]) {
            size_t offset = ReadU32(data + entry + 8);
            if (offset > size || size - offset < needed) {
                return 0;
            }
            return offset;
        }
    }
    return 0;
}

}  // namespace

bool ParseFontCellMetrics(const uint8_t* data, size_t size, int faceIndex, FontCellMetrics& out) {
    if (data == nullptr || size < 12 || faceIndex < 0) {
        return false;
    }
    size_t directory = 0;
    if (data[0] == 't' && data[1] == 't' && data[2] == 'c' && data[3] == 'f') {
        uint32_t fonts = ReadU32(data + 8);
        size_t entry = 12 + static_cast<size_t>(faceIndex) * 4;
        if (static_cast<uint32_t>(faceIndex) >= fonts || entry + 4 > size) {
            return false;
        }
        directory = ReadU32(data + entry);
    } else if (faceIndex != 0) {
        return false;
    }
    size_t head = FindTable(data, size, directory, "head", 20);
    size_t os2 = FindTable(data, size, directory, "OS/2", 78);
    if (head == 0 || os2 == 0) {
        return false;
    }
    out.unitsPerEm = ReadU16(data + head + 18);
    out.winAscent = ReadU16(data + os2 + 74);
    out.winDescent = ReadU16(data + os2 + 76);
    return out.unitsPerEm > 0 && out.winAscent + out.winDescent > 0;
}

}  // namespace platform
