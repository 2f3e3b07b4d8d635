#include "updater/command_line.h"

#include <algorithm>

#include "updater/line_rules.h"

namespace updater {

namespace {

bool SameIgnoringCase(char a, char b) {
    return UpperAscii(a) == UpperAscii(b);
}

}  // namespace

std::string ArgumentsAfterProgramName(std::string_view commandLine, std::string_view programFileName) {
    if (programFileName.empty()) {
        return {};
    }
    auto found = std::search(commandLine.begin(), commandLine.end(), programFileName.begin(),
                             programFileName.end(), SameIgnoringCase);
    if (found == commandLine.end()) {
        return {};
    }
    size_t start = static_cast<size_t>(found - commandLine.begin()) + programFileName.size() + 1;
    if (start >= commandLine.size()) {
        return {};
    }
    return std::string(commandLine.substr(start));
}

}  // namespace updater
