#include "game/shell/command_line.h"

#include <cstring>

namespace shell {

bool IsWindowModeCommandLine(int argc, const char* const* argv) {
    return argc == 2 && argv != nullptr && argv[1] != nullptr && std::strcmp(argv[1], "WINDOWMODE") == 0;
}

}  // namespace shell
