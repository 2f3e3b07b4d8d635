// Feeds arbitrary bytes to the model decoder; whatever it accepts must encode back to a model that
// decodes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "game/course/fnx_loader.h"
#include "tools/toolkit/fnx_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    core::FnxModel model;
    if (!course::ParseFnxModel(data, size, model)) {
        return 0;
    }
    std::vector<uint8_t> bytes;
    core::FnxModel again;
    if (!tools::EncodeFnxModel(model, bytes) || !course::ParseFnxModel(bytes.data(), bytes.size(), again)) {
        std::abort();
    }
    return 0;
}
