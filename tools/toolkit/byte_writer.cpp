#include "tools/toolkit/byte_writer.h"

#include <cstring>

namespace tools {

void PutU8(ByteWriter& out, uint8_t value) {
    out.bytes.push_back(value);
}

void PutU16(ByteWriter& out, uint16_t value) {
    out.bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    out.bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(ByteWriter& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.bytes.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
    }
}

void PutI32(ByteWriter& out, int32_t value) {
    PutU32(out, static_cast<uint32_t>(value));
}

void PutF32(ByteWriter& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    PutU32(out, bits);
}

void PutBytes(ByteWriter& out, const void* data, size_t size) {
    const auto* begin = static_cast<const uint8_t*>(data);
    out.bytes.insert(out.bytes.end(), begin, begin + size);
}

void PutZeros(ByteWriter& out, size_t count) {
    out.bytes.insert(out.bytes.end(), count, 0);
}

void PutFixedText(ByteWriter& out, std::string_view text, size_t fieldSize) {
    const size_t used = text.size() < fieldSize ? text.size() : fieldSize;
    PutBytes(out, text.data(), used);
    PutZeros(out, fieldSize - used);
}

}  // namespace tools
