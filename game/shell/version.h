#pragma once

namespace shell {
// The program's version, shown in --version output and logs.
const char* GameVersion();
}  // namespace shell
