#pragma once
// Text output onto drawing surfaces, standing in for the Windows font and text calls: a font is
// asked for by face name, average character width and cell height in pixels, the way Windows takes
// them, and text arrives as bytes in the interface language's code page.

#include <cstdint>
#include <string_view>

#include "platform/code_page.h"
#include "platform/draw_surface.h"

namespace platform {

// Alignment flags: x is the left end, the right end or the middle of the text; y is the top of the
// character cell unless the bottom or baseline flag is given.
inline constexpr int kTextAlignLeft = 0;
inline constexpr int kTextAlignRight = 2;
inline constexpr int kTextAlignCenter = 6;
inline constexpr int kTextAlignBottom = 8;
inline constexpr int kTextAlignBaseline = 24;

struct TextFontSpec {
    std::string_view face = "Arial";  // face name in code-page bytes
    int width = 0;                    // average character width in pixels; 0 keeps the design's proportions
    int height = 16;                  // cell height (ascent plus descent) in pixels; negative: em height
    bool bold = false;
    CodePage codePage = CodePage::Western1252;
};

// Advance width of the text in pixels, as the text would be drawn (no kerning). Text ends at its
// first NUL byte. An empty text, or a font that cannot be found, measures 0.
int MeasureTextExtent(const TextFontSpec& font, std::string_view text);

// Draws the text in colour 0xRRGGBB with a transparent background, cut to the surface.
void DrawTextOut(DrawSurface& surface, const TextFontSpec& font, int x, int y, uint32_t rgb, int alignment,
                 std::string_view text);

// Closes every font opened so far (they are kept open for reuse until then).
void ReleaseTextFonts();

}  // namespace platform
