#pragma once
// Saving a drawing surface as an RGB PNG file (captures of the presented picture).

#include "platform/draw_surface.h"

namespace platform {

// Returns 0 on success, non-zero when the file cannot be written.
int WritePng(DrawSurface& surface, const char* path);

}  // namespace platform
