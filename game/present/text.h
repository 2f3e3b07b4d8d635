#pragma once
// Text in the game picture: one font setting, changed before each group of texts, and the drawing
// and measuring of code-page text with it.

#include <cstdint>

#include "platform/code_page.h"
#include "platform/draw_surface.h"

namespace present {

// Alignment values: x is the left end, the right end or the middle of the text; y is its top.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 2;
inline constexpr int kAlignCenter = 6;

struct TextFont {
    char face[60] = "Arial";
    int32_t width = 8;    // average character width in pixels
    int32_t height = 16;  // character cell height in pixels
    uint8_t bold = 0;
    platform::CodePage codePage = platform::CodePage::Western1252;  // of the texts drawn
};

// The code page of the texts of an interface language ("KOR", "JPN", anything else).
platform::CodePage TextCodePageForLanguage(const char* language);

// Copies the face (cut to the field) and stores the sizes and the bold flag.
void SetTextFont(TextFont& font, const char* face, int width, int height, bool bold);

// Draws text at (x, y) in colour 0xRRGGBB with a transparent background.
void DrawTextAt(const TextFont& font, platform::DrawSurface& surface, int x, int y, uint32_t colour,
                const char* text, int alignment);

// Width of the text in pixels. Bold text is measured with the regular weight plus one pixel per
// character (a byte of 0x80 or more starts a two-byte character), which is how much bold widens.
int TextWidth(const TextFont& font, const char* text);

}  // namespace present
