#include "game/screens/chat_input_line.h"

#include "game/present/draw_primitives.h"

namespace screens {

namespace {

constexpr int kTextX = 11;
constexpr int kTextY = 570;
constexpr int kCellWidth = 8;
constexpr uint32_t kTextColour = 0xFFFFFF;
constexpr uint32_t kCaretColour = 0xFFFF00;

}  // namespace

void DrawChatInputLine(present::TextFont& font, platform::DrawSurface& surface, const char* fixedFace,
                       const char* text, int caret) {
    present::FillRect(surface, kChatInputStrip, 0x000000);
    present::SetTextFont(font, fixedFace, kCellWidth, 16, false);
    present::DrawTextAt(font, surface, kTextX, kTextY, kTextColour, text, present::kAlignLeft);
    const int x = kTextX + kCellWidth * caret;
    present::FillRect(surface, {x, kTextY, x + 2, kTextY + 16}, kCaretColour);
}

}  // namespace screens
