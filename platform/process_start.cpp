#include "platform/process_start.h"

#include <spawn.h>

#include <cstring>
#include <filesystem>

extern char** environ;

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
    std::string fileName = ProgramFileName(programName);
    // Absolute, because the child changes into the folder before the path is looked up.
    std::error_code ignored;
    std::filesystem::path absoluteFolder = std::filesystem::absolute(folder, ignored);
    std::string path = (absoluteFolder / fileName).string();
    std::vector<char*> argv;
    argv.push_back(fileName.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, absoluteFolder.c_str());
    pid_t child = 0;
    int error = posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return "cannot start " + path + ": " + std::strerror(error);
    }
    return {};
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
