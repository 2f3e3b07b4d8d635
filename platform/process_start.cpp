#include "platform/process_start.h"

#include <filesystem>

#include "platform/process.h"

namespace platform {

std::string ProgramFileName(const std::string& programName) {
    const std::string suffix = ".exe";
    if (programName.size() > suffix.size()) {
        std::string tail = programName.substr(programName.size() - suffix.size());
        for (char& c : tail) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        if (tail == suffix) {
            return programName.substr(0, programName.size() - suffix.size());
        }
    }
    return programName;
}

std::string StartProgram(const std::string& folder, const std::string& programName,
                         const std::vector<std::string>& arguments) {
    // Absolute, because the child changes into the folder before the path is looked up.
    std::error_code ignored;
    const std::filesystem::path absoluteFolder = std::filesystem::absolute(folder, ignored);
    SpawnRequest request;
    request.program = (absoluteFolder / ProgramFileName(programName)).string();
    request.arguments = arguments;
    request.directory = absoluteFolder.string();
    std::string error;
    return SpawnProcess(request, &error) < 0 ? error : std::string();
}

std::string RunningProgramFolder() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return self.parent_path().string();
}

}  // namespace platform
