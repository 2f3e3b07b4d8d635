#pragma once

namespace shell {

// The game client from start to end: one instance per user, the window, the display and the
// frame loop. Returns the process exit code.
int RunBrightlea(int argc, const char* const* argv);

}  // namespace shell
