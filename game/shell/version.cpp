#include "game/shell/version.h"

namespace shell {
const char* GameVersion() {
    return "0.1.0";
}
}  // namespace shell
