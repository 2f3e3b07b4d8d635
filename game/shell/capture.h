#pragma once
// Saving the presented picture as PNG: on F12, and (with BRIGHTLEA_CAPTURE naming a folder) at
// every game-state change and when the game ends.

#include <string>

#include "game/shell/client.h"

namespace shell {

// The first "<stem>-NNNN.png" in folder that does not exist yet, counting on from counter.
std::string NextCapturePath(const std::string& folder, const char* stem, int& counter);

// Saves the presented picture; returns the file written, or an empty string.
std::string CapturePicture(Client& client, const char* stem);
// F12: into the capture folder, or the current folder when none is set.
void CaptureOnKey(Client& client);
// With a capture folder: once per state change, named after the state entered.
void CaptureOnStateChange(Client& client);
void CaptureFinalPicture(Client& client);

}  // namespace shell
