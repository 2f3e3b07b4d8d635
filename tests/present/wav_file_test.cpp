// The WAV reader on files made byte by byte: what it plays, and what it refuses without reading
// outside the bytes it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "game/present/wav_file.h"
#include "tests/present/wav_bytes.h"

namespace {

using namespace wav_bytes;

bool Parse(const std::vector<uint8_t>& bytes, present::WavSound& sound, std::string& error) {
    // A heap copy of exactly the file's size, so that ASan sees any read past its end. It lives
    // until the next parse, since the samples point into it.
    static std::unique_ptr<uint8_t[]> exact;
    exact = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), exact.get());
    return present::ParseWav({exact.get(), bytes.size()}, sound, error);
}

std::string Refusal(const std::vector<uint8_t>& bytes) {
    present::WavSound sound;
    std::string error;
    EXPECT_FALSE(Parse(bytes, sound, error));
    EXPECT_FALSE(error.empty());
    return error;
}

const std::vector<uint8_t> kSamples = {1, 2, 3, 4, 5, 6, 7, 8};

TEST(WavFile, ReadsFormatAndSamplesOfEveryPlayableKind) {
    struct Case {
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
    };
    for (Case c : {Case{1, 22050, 8}, Case{1, 44100, 16}, Case{2, 11025, 8}, Case{2, 48000, 16}}) {
        present::WavSound sound;
        std::string error;
        ASSERT_TRUE(Parse(File({Chunk("fmt ", Format(c.channels, c.rate, c.bits)), Chunk("data", kSamples)}),
                          sound, error))
            << error;
        EXPECT_EQ(sound.channels, c.channels);
        EXPECT_EQ(sound.sampleRate, static_cast<int>(c.rate));
        EXPECT_EQ(sound.bitsPerSample, c.bits);
        EXPECT_EQ(std::vector<uint8_t>(sound.samples.begin(), sound.samples.end()), kSamples);
    }
}

TEST(WavFile, FindsChunksInAnyOrderPastOthersAndPadding) {
    const std::vector<uint8_t> odd = {9, 9, 9};  // padded to four bytes on disk
    const auto format = Chunk("fmt ", Format(1, 22050, 16));
    const auto data = Chunk("data", kSamples);
    const std::vector<std::vector<std::vector<uint8_t>>> layouts = {
        {format, Chunk("LIST", odd), data},
        {data, format},
        {Chunk("fact", odd), data, Chunk("cue ", {}), format},
        {format, data, Chunk("junk", odd)},
    };
    for (const auto& chunks : layouts) {
        present::WavSound sound;
        std::string error;
        ASSERT_TRUE(Parse(File(chunks), sound, error)) << error;
        EXPECT_EQ(std::vector<uint8_t>(sound.samples.begin(), sound.samples.end()), kSamples);
    }
}

TEST(WavFile, KeepsWholeFramesOnly) {
    present::WavSound sound;
    std::string error;
    ASSERT_TRUE(Parse(File({Chunk("fmt ", Format(2, 22050, 16)), Chunk("data", {1, 2, 3, 4, 5, 6, 7})}),
                      sound, error));
    EXPECT_EQ(sound.samples.size(), 4u);
}

TEST(WavFile, ReadsShortAndExtensibleFormats) {
    // 14 bytes: the sample size follows from the frame size (2 channels, 4 bytes -> 16 bits).
    auto shortFormat = Format(2, 22050, 16);
    shortFormat.resize(14);
    present::WavSound sound;
    std::string error;
    ASSERT_TRUE(Parse(File({Chunk("fmt ", shortFormat), Chunk("data", kSamples)}), sound, error)) << error;
    EXPECT_EQ(sound.bitsPerSample, 16);

    auto extensible = Format(1, 44100, 16, 0xFFFE);
    PutU16(extensible, 22);  // extra bytes
    PutU16(extensible, 16);  // valid bits
    PutU32(extensible, 4);   // speaker mask
    PutU16(extensible, 1);   // the sub-format: PCM, then the rest of its identifier
    extensible.resize(40, 0x11);
    ASSERT_TRUE(Parse(File({Chunk("fmt ", extensible), Chunk("data", kSamples)}), sound, error)) << error;
    EXPECT_EQ(sound.channels, 1);

    extensible[24] = 3;  // floating-point samples
    EXPECT_NE(Refusal(File({Chunk("fmt ", extensible), Chunk("data", kSamples)})).find("PCM"),
              std::string::npos);
}

TEST(WavFile, RefusesFormatsItCannotPlay) {
    auto twelve = Format(1, 22050, 16);
    twelve.resize(12);
    auto badAlign = Format(2, 22050, 16);
    badAlign[12] = 2;
    const std::vector<std::vector<uint8_t>> formats = {
        twelve,
        Format(0, 22050, 16),  // no channels
        Format(6, 22050, 16),
        Format(1, 22050, 24),
        Format(1, 22050, 0),
        Format(1, 0, 16),
        Format(1, 22050, 16, 2),  // ADPCM
        badAlign,
    };
    for (const auto& format : formats) {
        Refusal(File({Chunk("fmt ", format), Chunk("data", kSamples)}));
    }
}

TEST(WavFile, RefusesBrokenFilesWithoutReadingPastThem) {
    const auto format = Chunk("fmt ", Format(1, 22050, 16));
    const auto good = File({format, Chunk("data", kSamples)});
    std::vector<std::vector<uint8_t>> broken = {
        {},
        {'R', 'I', 'F', 'F'},
        File({format}),                                       // no data
        File({Chunk("data", kSamples)}),                      // no format
        File({format, Chunk("data", {})}),                    // no samples
        File({format, Chunk("data", kSamples, 0xFFFFFFF0)}),  // a huge data chunk
        File({Chunk("fmt ", Format(1, 22050, 16), 0x7FFFFFFF), Chunk("data", kSamples)}),
        File({Chunk("LIST", {1, 2}, 0xFFFFFFFF), format, Chunk("data", kSamples)}),  // lost in a chunk
        File({format, Chunk("data", kSamples)}, 20),  // RIFF ends inside the data chunk
        File({format, Chunk("data", kSamples)}, 2),   // RIFF smaller than its own form
    };
    auto notWave = good;
    notWave[8] = 'A';
    broken.push_back(notWave);
    // Every cut of a good file.
    for (size_t size = 0; size < good.size(); ++size) {
        broken.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    }
    for (const auto& bytes : broken) {
        Refusal(bytes);
    }
}

TEST(WavFile, FileLongerThanItsRiffSizeStopsAtTheRiffEnd) {
    // A data chunk after the RIFF's declared end is not part of the file.
    auto bytes = File({Chunk("fmt ", Format(1, 22050, 16))});
    const auto data = Chunk("data", kSamples);
    bytes.insert(bytes.end(), data.begin(), data.end());
    EXPECT_EQ(Refusal(bytes), "it has no data chunk");
}

}  // namespace
