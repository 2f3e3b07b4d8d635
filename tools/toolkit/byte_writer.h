#pragma once
// Little-endian, packed output for the game's binary files.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tools {

struct ByteWriter {
    std::vector<uint8_t> bytes;
};

void PutU8(ByteWriter& out, uint8_t value);
void PutU16(ByteWriter& out, uint16_t value);
void PutU32(ByteWriter& out, uint32_t value);
void PutI32(ByteWriter& out, int32_t value);
void PutF32(ByteWriter& out, float value);
void PutBytes(ByteWriter& out, const void* data, size_t size);
void PutZeros(ByteWriter& out, size_t count);
// A fixed-size text field: the text, then NUL bytes up to the field size. The caller makes sure the
// text leaves room for the terminator.
void PutFixedText(ByteWriter& out, std::string_view text, size_t fieldSize);

}  // namespace tools
