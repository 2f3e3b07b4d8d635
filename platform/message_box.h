#pragma once
// Error messages for the player: a message box when a display is there, and always a line on
// standard error.

namespace platform {

// text is UTF-8.
void ShowErrorBox(const char* caption, const char* text);

}  // namespace platform
