#pragma once
// Reading a small file of the installation whole.

#include <filesystem>
#include <optional>
#include <string>

namespace updater {

// The whole file, or nothing when it is missing, is not a plain file (a folder, say) or cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

}  // namespace updater
