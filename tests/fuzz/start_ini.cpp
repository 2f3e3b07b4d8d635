// Feeds arbitrary bytes to the match-file parser.
#include <cstddef>
#include <cstdint>

#include "game/shell/launch/launch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::MatchConfig match;
    shell::PlayerInfo players[shell::kPlayerSlots];
    shell::ParseStartFile({data, size}, match, players);
    shell::OptionSettings options;
    shell::ParseOptionFile({data, size}, options);
    return 0;
}
