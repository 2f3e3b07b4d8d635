#include "tools/toolkit/data_files.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "tools/toolkit/byte_writer.h"

namespace tools {
namespace {

uint8_t RotateRight(uint8_t value, int key) {
    key &= 7;
    return static_cast<uint8_t>(((value >> key) | (value << ((8 - key) & 7))) & 0xFF);
}

}  // namespace

std::vector<uint8_t> EncodeWordList(const std::vector<std::string>& words) {
    ByteWriter body;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string stored = words[i] + "\n";
        const int key = 1 + static_cast<int>((i * 3) % 7);
        PutU8(body, static_cast<uint8_t>(stored.size()));
        PutU8(body, static_cast<uint8_t>(key));
        for (char c : stored) {
            PutU8(body, RotateRight(static_cast<uint8_t>(c), key));
        }
    }
    uint8_t check[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < body.bytes.size(); ++i) {
        check[i % 4] ^= body.bytes[i];
    }
    ByteWriter out;
    PutBytes(out, "FNST", 4);
    PutBytes(out, check, 4);
    PutU32(out, static_cast<uint32_t>(words.size()));
    PutBytes(out, body.bytes.data(), body.bytes.size());
    return out.bytes;
}

std::vector<uint8_t> EncodeGameInfo(const shell::SwingTiming& timing) {
    ByteWriter out;
    PutBytes(out, "LARKSPUR GAME INFO\r\n", 20);
    PutZeros(out, 8);  // the header's terminator and its unused bytes
    for (int sex = 0; sex < shell::kSwingSexes; ++sex) {
        for (int character = 0; character < shell::kSwingCharacterTypes; ++character) {
            for (int kind = 0; kind < shell::kSwingKinds; ++kind) {
                PutFixedText(out, "FRAMECNT", 16);
                PutI32(out, sex);
                PutI32(out, character);
                PutI32(out, kind);
                PutI32(out, timing.steps[sex][character][kind]);
                PutZeros(out, 32);
            }
        }
    }
    return out.bytes;
}

std::vector<uint8_t> EncodeHoleSettings(const shell::HoleSettings& hole) {
    ByteWriter out;
    PutBytes(out, "FNH", 4);  // with its NUL
    PutFixedText(out, std::string_view(hole.name, strnlen(hole.name, kHoleNameMax)), 17);
    PutU16(out, hole.length);
    for (float value :
         {hole.tee[0], hole.tee[1], hole.defaultAim[0], hole.defaultAim[1], hole.pin[0], hole.pin[1]}) {
        PutF32(out, value);
    }
    PutZeros(out, 8);
    PutU8(out, hole.par);
    PutZeros(out, 2);
    return out.bytes;
}

std::string FormatIndexedLines(const std::vector<std::pair<int, std::string>>& entries, int indexWidth) {
    std::string text;
    char number[16];
    for (const auto& [index, line] : entries) {
        std::snprintf(number, sizeof number, "%0*d ", indexWidth, index);
        text += number;
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace tools
