#pragma once
// Starting another program of the installation, and finding the installation.

#include <string>
#include <vector>

namespace platform {

// The file a program name stands for on this system: Windows names such as "Ravelin.exe" lose
// their ".exe" (in any case).
std::string ProgramFileName(const std::string& programName);

// Starts folder/ProgramFileName(programName) with the given arguments and folder as its current
// directory, without waiting for it. Returns an empty text on success, otherwise what went wrong.
std::string StartProgram(const std::string& folder, const std::string& programName,
                         const std::vector<std::string>& arguments);

// The folder that holds the running program's file; empty when it cannot be found.
std::string RunningProgramFolder();

}  // namespace platform
