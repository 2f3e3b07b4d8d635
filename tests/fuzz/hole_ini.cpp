// Feeds arbitrary bytes to the hole-settings parser.
#include <cstddef>
#include <cstdint>

#include "game/shell/launch/launch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::HoleSettings hole;
    shell::ParseHoleSettings({data, size}, hole);
    return 0;
}
