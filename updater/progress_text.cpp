#include "updater/progress_text.h"

namespace updater {

std::string DownloadProgressText(int64_t receivedBytes, int64_t totalBytes) {
    return std::to_string(receivedBytes / 1024) + " KByte / " + std::to_string(totalBytes / 1024) + " KByte";
}

std::string UnpackProgressText(int percent) {
    return std::to_string(percent) + " %";
}

}  // namespace updater
