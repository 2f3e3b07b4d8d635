#pragma once
// Line-based text sources in assets/: UTF-8, one item per line; blank lines and lines starting
// with '#' are comments. Problems are reported as "file:line: what is wrong".

#include <string>
#include <vector>

namespace tools {

struct SourceLine {
    int number = 0;  // 1-based line number in the file
    std::string text;
};

struct SourceFile {
    std::string path;
    std::vector<SourceLine> lines;
};

bool ReadSourceLines(const std::string& path, SourceFile& file, std::string& error);
std::string SourceError(const SourceFile& file, int line, const std::string& problem);

// Splits "NN text" into a decimal index and the text after the single blank that follows it.
// Returns false when the line does not start with digits followed by a blank.
bool SplitIndexedLine(const std::string& line, int& index, std::string& text);

}  // namespace tools
