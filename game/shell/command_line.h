#pragma once

namespace shell {

// Windowed only when the whole command line is exactly "WINDOWMODE" (case and blanks matter);
// anything else means full screen.
bool IsWindowModeCommandLine(int argc, const char* const* argv);

}  // namespace shell
