#include "game/shell/capture.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/png_file.h"

namespace shell {

namespace {

std::string CaptureInto(Client& client, const std::string& folder, const char* stem) {
    platform::DrawSurface* picture = client.display.primarySurface;
    if (picture == nullptr) {
        return {};
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string path = NextCapturePath(folder, stem, client.shell.captureCount);
    return platform::WritePng(*picture, path.c_str()) == 0 ? path : std::string();
}

}  // namespace

std::string NextCapturePath(const std::string& folder, const char* stem, int& counter) {
    for (;;) {
        ++counter;
        char name[64];
        std::snprintf(name, sizeof name, "%s-%04d.png", stem, counter);
        const std::filesystem::path path = std::filesystem::path(folder) / name;
        std::error_code error;
        if (!std::filesystem::exists(path, error) || counter >= 9999) {
            return path.string();
        }
    }
}

std::string CapturePicture(Client& client, const char* stem) {
    const std::string& folder = client.shell.captureFolder;
    return CaptureInto(client, folder.empty() ? std::string(".") : folder, stem);
}

void CaptureOnKey(Client& client) {
    CapturePicture(client, "screenshot");
}

void CaptureOnStateChange(Client& client) {
    ShellState& shell = client.shell;
    if (shell.gameState == shell.capturedState) {
        return;
    }
    shell.capturedState = shell.gameState;
    if (!shell.captureFolder.empty()) {
        char stem[32];
        std::snprintf(stem, sizeof stem, "state%02d", static_cast<int>(shell.gameState));
        CapturePicture(client, stem);
    }
}

void CaptureFinalPicture(Client& client) {
    if (!client.shell.captureFolder.empty()) {
        CapturePicture(client, "end");
    }
}

}  // namespace shell
