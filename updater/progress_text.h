#pragma once
// The texts of the progress label while a package downloads and while it is unpacked.

#include <cstdint>
#include <string>

namespace updater {

// "x KByte / y KByte" with both byte counts divided by 1024 (whole numbers).
std::string DownloadProgressText(int64_t receivedBytes, int64_t totalBytes);

// The percentage followed by " %".
std::string UnpackProgressText(int percent);

}  // namespace updater
