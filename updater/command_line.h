#pragma once
// Passing the updater's own arguments on to the lobby program.

#include <string>
#include <string_view>

namespace updater {

// The lobby program the updater starts when it is done.
inline constexpr const char* kLobbyProgram = "Ravelin.exe";

// From a whole command line as one text (the form the system gives a program on Windows): the
// part after the first occurrence of the program's file name (compared without regard to case),
// skipping the one character right after the name (its closing quote or the blank). Empty when the
// name is not found or nothing follows it.
std::string ArgumentsAfterProgramName(std::string_view commandLine, std::string_view programFileName);

}  // namespace updater
