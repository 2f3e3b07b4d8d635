#include "lobby/screenshot_keeper.h"

#include <cstdlib>
#include <system_error>

namespace lobby {

namespace fs = std::filesystem;

namespace {

bool IsScreenshot(const fs::path& file) {
    const std::string name = file.filename().string();
    return name.starts_with("screenshot-") && file.extension() == ".png";
}

// keep / name, or with "-2", "-3" ... before the extension when that is taken.
fs::path FreeName(const fs::path& keep, const std::string& name) {
    const fs::path wanted = keep / name;
    std::error_code ec;
    if (!fs::exists(wanted, ec)) {
        return wanted;
    }
    const std::string stem = wanted.stem().string();
    const std::string extension = wanted.extension().string();
    for (int n = 2;; ++n) {
        const fs::path next = keep / (stem + "-" + std::to_string(n) + extension);
        if (!fs::exists(next, ec)) {
            return next;
        }
    }
}

// A rename where both lie on one file system, else a copy and a removal.
bool MoveFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) {
        return true;
    }
    if (!fs::copy_file(from, to, fs::copy_options::none, ec)) {
        return false;
    }
    fs::remove(from, ec);
    return true;
}

}  // namespace

std::vector<fs::path> KeepScreenshots(const fs::path& work, const fs::path& keep, std::string& error) {
    std::vector<fs::path> kept;
    std::error_code ec;
    for (const fs::directory_entry& client : fs::directory_iterator(work, ec)) {
        if (!client.is_directory(ec) || client.is_symlink(ec)) {
            continue;
        }
        for (const fs::directory_entry& file : fs::directory_iterator(client.path(), ec)) {
            if (!file.is_regular_file(ec) || file.is_symlink(ec) || !IsScreenshot(file.path())) {
                continue;
            }
            fs::create_directories(keep, ec);
            const fs::path to =
                FreeName(keep, client.path().filename().string() + "-" + file.path().filename().string());
            if (MoveFile(file.path(), to)) {
                kept.push_back(to);
            } else {
                error += (error.empty() ? "" : "; ") +
                         ("cannot keep " + file.path().string() + " in " + keep.string());
            }
        }
    }
    return kept;
}

fs::path ScreenshotFolder(const std::string& home) {
    if (!home.empty()) {
        return fs::path(home) / "Pictures" / "Brightlea";
    }
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    return ec ? fs::path(".") : here;
}

void KeepScreenshotsBeforeRemoving(const fs::path& work, void (*log)(const std::string&)) {
    const char* home = std::getenv("HOME");
    const fs::path keep = ScreenshotFolder(home != nullptr ? home : "");
    std::string error;
    const std::vector<fs::path> kept = KeepScreenshots(work, keep, error);
    if (!kept.empty()) {
        log(std::to_string(kept.size()) + (kept.size() == 1 ? " screenshot" : " screenshots") +
            " (F12) kept in " + keep.string());
    }
    if (!error.empty()) {
        log(error);
    }
}

}  // namespace lobby
