#pragma once
// Reading the launch configuration and the per-match and per-hole files from the game directory
// (the current directory).

#include <functional>

#include "game/shell/launch/launch_config.h"

namespace shell {

// Shows a start-up error (text in the language's code page) to the player.
using ErrorBox = std::function<void(const char* text)>;

// The player's error box: a message box with the caption "Error", also written to standard error.
// It converts from the code page of the language config holds when the box is shown.
ErrorBox PlayerErrorBox(const LaunchConfig& config);

enum class LaunchStatus {
    kComplete = 0,      // everything was read
    kIncomplete = 1,    // the texts, quick chat or word list failed (reported); the match can go on
    kNoOptionFile = 2,  // "Option.ini" could not be read: there is no match to play
    kNoMatchFile = 3,   // the match file "Start.ini" could not be read: there is no match to play
};

// Reads "Option.ini", the match file, the game strings, the quick-chat texts and the word list, in
// this order, stopping at the first failure; what was read before it stays. Failures other than a
// missing "Option.ini" are shown in an error box. In full-screen mode the match file is deleted
// after a successful read; in windowed mode it stays so that the match can be started again.
LaunchStatus LoadLaunchConfig(LaunchConfig& config, bool windowed, const ErrorBox& showError);

// Start-up's part: loads the launch configuration and tells whether start-up goes on. Without a
// match it writes why to standard error and returns false.
bool ReadLaunchConfiguration(LaunchConfig& config, bool windowed, const ErrorBox& showError);

// Reads "GameInfo.ini" of the language into the swing-timing table. Returns 0, or kLoadFailed when
// the file cannot be opened (not reported).
inline constexpr int kLoadFailed = static_cast<int>(0x80004005u);
int LoadSwingTiming(LaunchConfig& config);

// Reads "Hole.ini" of the match's course and the given hole. Returns 0, or 1 when it is missing or
// not a hole file; the previous settings then stay. On success the par is also recorded by hole
// number.
int LoadHoleSettings(LaunchConfig& config, int hole);

// The number of sky pictures ("Sky/sky*.fni", the name compared without regard to case).
int CountSkyPictures();

}  // namespace shell
