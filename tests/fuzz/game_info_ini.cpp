// Feeds arbitrary bytes to the swing-timing parser.
#include <cstddef>
#include <cstdint>

#include "game/shell/launch/launch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shell::SwingTiming timing;
    shell::ParseSwingTiming({data, size}, timing);
    return 0;
}
