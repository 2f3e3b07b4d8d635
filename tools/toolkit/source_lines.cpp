#include "tools/toolkit/source_lines.h"

#include <cctype>
#include <sstream>

#include "tools/toolkit/output_file.h"

namespace tools {

bool ReadSourceLines(const std::string& path, SourceFile& file, std::string& error) {
    std::string text;
    if (!ReadTextFile(path, text, error)) {
        return false;
    }
    file.path = path;
    file.lines.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        file.lines.push_back({number, line});
    }
    return true;
}

std::string SourceError(const SourceFile& file, int line, const std::string& problem) {
    return file.path + ":" + std::to_string(line) + ": " + problem;
}

bool SplitIndexedLine(const std::string& line, int& index, std::string& text) {
    size_t digits = 0;
    while (digits < line.size() && digits < 6 && std::isdigit(static_cast<unsigned char>(line[digits]))) {
        ++digits;
    }
    if (digits == 0 || digits >= line.size() || line[digits] != ' ') {
        return false;
    }
    index = std::stoi(line.substr(0, digits));
    text = line.substr(digits + 1);
    return true;
}

}  // namespace tools
