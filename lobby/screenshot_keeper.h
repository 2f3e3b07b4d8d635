#pragma once
// The pictures players save with F12 land in their client's game directory, which lives in
// Ravelin's work folder; before Ravelin removes a work folder of its own, it keeps them.

#include <filesystem>
#include <string>
#include <vector>

namespace lobby {

// Moves every "screenshot-*.png" in the client directories directly under work into keep (made
// only when there is one to move), each named "<client directory>-<file name>"; a name already
// taken in keep gets "-2", "-3" ... before ".png", so nothing there is overwritten. Returns the
// paths written. A file that cannot be moved stays where it is and is named in error.
std::vector<std::filesystem::path> KeepScreenshots(const std::filesystem::path& work,
                                                   const std::filesystem::path& keep, std::string& error);

// Where kept screenshots go: "Pictures/Brightlea" in the home folder, or the current folder when
// home is empty.
std::filesystem::path ScreenshotFolder(const std::string& home);

// Keeps the screenshots of a work folder about to be removed and says where they went (or why not)
// through log.
void KeepScreenshotsBeforeRemoving(const std::filesystem::path& work, void (*log)(const std::string&));

}  // namespace lobby
