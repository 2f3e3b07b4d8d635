#include "game/shell/version.h"

#include "brightlea_version.h"

namespace shell {
const char* GameVersion() {
    return BRIGHTLEA_VERSION;
}
}  // namespace shell
