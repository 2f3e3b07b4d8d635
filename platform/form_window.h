#pragma once
// A small fixed-size window that shows one picture, for tools such as the updater that only need
// to show their state. Without a display the caller simply goes on without a window.

#include <string>

#include "platform/draw_surface.h"

namespace platform {

struct FormWindow;

// Opens a centred window with a client area of the given size that cannot be resized. Returns
// nullptr when there is no display.
FormWindow* OpenFormWindow(int clientWidth, int clientHeight);
void CloseFormWindow(FormWindow* window);

// The caption, in UTF-8.
void SetFormCaption(FormWindow& window, const std::string& captionUtf8);

// The client area's picture (32-bit); draw into it, then show it.
DrawSurface& FormPicture(FormWindow& window);
void ShowFormPicture(FormWindow& window);

// Handles the window's events, waiting up to waitMs for the first one. Returns false once the user
// has asked to close the window.
bool PumpFormEvents(FormWindow& window, int waitMs);

}  // namespace platform
