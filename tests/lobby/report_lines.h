#pragma once
// Reading what Ravelin and its clients wrote in a test: the lines of a file and how many of them
// hold a given text.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fixtures {

inline std::vector<std::string> Lines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline size_t Count(const std::vector<std::string>& lines, const std::string& part) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    }));
}

}  // namespace fixtures
