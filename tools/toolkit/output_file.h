#pragma once
// Writing a data file so that it either appears whole or not at all: the bytes go to a temporary
// file beside the target, which is then renamed over it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// Creates missing parent folders. Returns false and fills error when anything fails; a failed write
// leaves no file behind.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
bool WriteTextFileAtomically(const std::string& path, std::string_view text, std::string& error);

// Reads a whole file. Returns false and fills error when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

}  // namespace tools
