// Feeds arbitrary bytes to the word-list decoder and checks a line against what was decoded.
#include <cstddef>
#include <cstdint>

#include "game/shell/launch/word_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::WordList list;
    shell::ParseWordList({data, size}, list);
    shell::IsTextBlocked(list, "Nice shot, partner! \xB0\xA1", true);
    return 0;
}
