#pragma once
// Making file changes survive a crash or a power cut: flushing a file's bytes and a folder's list
// of names to the disk, and replacing a small file so that readers see the old or the new text,
// never a part.

#include <filesystem>
#include <string>

namespace platform {

// Flushes a file's contents (or a folder's entries) to the disk. False when it cannot.
bool SyncPath(const std::filesystem::path& path);

// Writes text to path through a temporary file beside it that is flushed and then renamed over
// path; the folder is flushed afterwards. False, with path unchanged, when any step fails.
bool ReplaceFileDurably(const std::filesystem::path& path, const std::string& text);

}  // namespace platform
