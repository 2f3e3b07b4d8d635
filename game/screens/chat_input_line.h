#pragma once
// The chat input line at the bottom left of the play screen: a black strip with the text typed so
// far in the fixed-pitch face and a yellow caret.

#include "game/present/text.h"
#include "platform/draw_surface.h"

namespace screens {

inline constexpr platform::SurfaceRect kChatInputStrip{9, 568, 413, 588};

// text is in the font's code page; caret is a byte offset into it (one 8-pixel cell per byte).
void DrawChatInputLine(present::TextFont& font, platform::DrawSurface& surface, const char* fixedFace,
                       const char* text, int caret);

}  // namespace screens
