// Feeds arbitrary bytes to the WAV reader; whatever it accepts must lie inside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/present/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    present::WavSound sound;
    std::string error;
    if (present::ParseWav({data, size}, sound, error)) {
        const uint8_t* begin = sound.samples.data();
        if (begin < data || begin + sound.samples.size() > data + size || sound.samples.empty()) {
            std::abort();
        }
        volatile uint8_t last = sound.samples.back();
        (void)last;
    }
    return 0;
}
