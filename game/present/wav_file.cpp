#include "game/present/wav_file.h"

#include <algorithm>

#include "platform/le_bytes.h"

namespace present {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kShortestFormat = 14;    // the format without its bits-per-sample field
constexpr uint32_t kExtensibleFormat = 40;  // with the sub-format identifier
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;

bool IdIs(std::span<const uint8_t> bytes, size_t offset, const char* id) {
    return std::equal(id, id + 4, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string IdText(std::span<const uint8_t> bytes, size_t offset) {
    std::string text;
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t c = bytes[offset + i];
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return text;
}

// The "fmt " chunk's body into the sound's format fields.
bool ReadFormat(std::span<const uint8_t> body, WavSound& sound, std::string& error) {
    if (body.size() < kShortestFormat) {
        error = "its fmt chunk has " + std::to_string(body.size()) + " bytes, too few for a format";
        return false;
    }
    platform::LeReader in(body.data(), body.size());
    uint16_t tag = in.U16();
    const uint16_t channels = in.U16();
    const uint32_t rate = in.U32();
    in.U32();  // bytes per second, derived from the rest
    const uint16_t blockAlign = in.U16();
    // A 14-byte format leaves the sample size to be worked out from the frame size.
    int bits = body.size() >= 16 ? in.U16() : (channels != 0 ? blockAlign * 8 / channels : 0);
    if (tag == kFormatExtensible && body.size() >= kExtensibleFormat) {
        platform::LeReader sub(body.data() + 24, body.size() - 24);
        tag = sub.U16();  // the first two bytes of the sub-format identifier name the coding
    }
    if (tag != kFormatPcm) {
        error = "its samples are coded as format " + std::to_string(tag) + ", not as PCM";
        return false;
    }
    if (channels != 1 && channels != 2) {
        error = "it has " + std::to_string(channels) + " channels; only mono and stereo are played";
        return false;
    }
    if (bits != 8 && bits != 16) {
        error = "its samples have " + std::to_string(bits) + " bits; only 8 and 16 are played";
        return false;
    }
    if (rate < kLowestRate || rate > kHighestRate) {
        error = "its rate of " + std::to_string(rate) + " samples per second is out of range";
        return false;
    }
    if (blockAlign != channels * bits / 8) {
        error = "its frames of " + std::to_string(blockAlign) + " bytes do not match its channels and bits";
        return false;
    }
    sound.channels = channels;
    sound.sampleRate = static_cast<int>(rate);
    sound.bitsPerSample = bits;
    return true;
}

}  // namespace

bool ParseWav(std::span<const uint8_t> bytes, WavSound& sound, std::string& error) {
    sound = WavSound{};
    if (bytes.size() < 12 || !IdIs(bytes, 0, "RIFF") || !IdIs(bytes, 8, "WAVE")) {
        error = "it is not a RIFF WAVE file";
        return false;
    }
    platform::LeReader header(bytes.data() + 4, 4);
    // The chunks end where the RIFF header says, or earlier where the file does.
    const uint64_t riffEnd = std::min<uint64_t>(8 + uint64_t{header.U32()}, bytes.size());
    std::span<const uint8_t> format;
    std::span<const uint8_t> data;
    bool haveFormat = false;
    bool haveData = false;
    uint64_t at = 12;
    while (at + 8 <= riffEnd && !(haveFormat && haveData)) {
        platform::LeReader chunk(bytes.data() + at + 4, 4);
        const uint64_t size = chunk.U32();
        const uint64_t body = at + 8;
        const bool isFormat = IdIs(bytes, at, "fmt ");
        const bool isData = IdIs(bytes, at, "data");
        if (size > riffEnd - body) {
            if (isFormat || isData) {
                error = "its " + IdText(bytes, at) + " chunk claims " + std::to_string(size) +
                        " bytes, more than the file holds";
                return false;
            }
            break;  // nothing after a chunk of unknown length can be found
        }
        if (isFormat && !haveFormat) {
            format = bytes.subspan(body, size);
            haveFormat = true;
        } else if (isData && !haveData) {
            data = bytes.subspan(body, size);
            haveData = true;
        }
        at = body + size + (size & 1);  // chunks start on even offsets
    }
    if (!haveFormat || !haveData) {
        error = haveFormat ? "it has no data chunk" : "it has no fmt chunk";
        return false;
    }
    if (!ReadFormat(format, sound, error)) {
        return false;
    }
    const size_t frameBytes = static_cast<size_t>(sound.channels * sound.bitsPerSample / 8);
    sound.samples = data.first(data.size() - data.size() % frameBytes);
    if (sound.samples.empty()) {
        error = "it holds no samples";
        return false;
    }
    return true;
}

}  // namespace present
