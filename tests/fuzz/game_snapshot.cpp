// Unpacks arbitrary bytes as a game snapshot and checks that packing it again gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/shell/lobby/game_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < static_cast<size_t>(shell::kGameSnapshotWireSize)) {
        return 0;
    }
    const shell::GameSnapshot snapshot = shell::UnpackGameSnapshot(data);
    (void)shell::SnapshotIndicesValid(snapshot);
    uint8_t again[shell::kGameSnapshotWireSize];
    shell::PackGameSnapshot(snapshot, again);
    // Only the names may differ: a name that fills its field loses its last byte.
    for (int i = 0; i < shell::kGameSnapshotWireSize; ++i) {
        const bool inNames = i >= 234 && i < 286;
        if (!inNames && again[i] != data[i]) {
            std::abort();
        }
    }
    return 0;
}
