#pragma once
// Builds WAV files chunk by chunk for tests: each chunk's size field is written as given, so tests
// can lie about sizes on purpose.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/present/fni_bytes.h"

namespace wav_bytes {

using fni_bytes::PutU16;  // little-endian, like every other test file
using fni_bytes::PutU32;

// A chunk: id, declared size, body, and a pad byte after an odd-sized body.
inline std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body, uint32_t declaredSize) {
    std::vector<uint8_t> out(id, id + 4);
    PutU32(out, declaredSize);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) {
        out.push_back(0);
    }
    return out;
}

inline std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body) {
    return Chunk(id, body, static_cast<uint32_t>(body.size()));
}

// The body of a "fmt " chunk of 16 bytes (tag 1 is PCM).
inline std::vector<uint8_t> Format(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
    std::vector<uint8_t> out;
    PutU16(out, tag);
    PutU16(out, channels);
    PutU32(out, rate);
    PutU32(out, rate * channels * bits / 8);
    PutU16(out, static_cast<uint32_t>(channels * bits / 8));
    PutU16(out, bits);
    return out;
}

// "RIFF", the declared RIFF size, "WAVE" and the chunks.
inline std::vector<uint8_t> File(const std::vector<std::vector<uint8_t>>& chunks, uint32_t riffSize) {
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    PutU32(out, riffSize);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    for (const auto& chunk : chunks) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

inline std::vector<uint8_t> File(const std::vector<std::vector<uint8_t>>& chunks) {
    size_t size = 4;
    for (const auto& chunk : chunks) {
        size += chunk.size();
    }
    return File(chunks, static_cast<uint32_t>(size));
}

// A mono 16-bit file of the given samples.
inline std::vector<uint8_t> Mono16(const std::vector<int16_t>& samples, uint32_t rate = 22050) {
    std::vector<uint8_t> data;
    for (int16_t s : samples) {
        PutU16(data, static_cast<uint16_t>(s));
    }
    return File({Chunk("fmt ", Format(1, rate, 16)), Chunk("data", data)});
}

}  // namespace wav_bytes
