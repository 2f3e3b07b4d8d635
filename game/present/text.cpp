#include "game/present/text.h"

#include <cstring>
#include <string_view>

#include "platform/code_page.h"
#include "platform/text_out.h"

namespace present {

namespace {

platform::TextFontSpec SpecOf(const TextFont& font, bool bold) {
    platform::TextFontSpec request;
    request.face = std::string_view(font.face, strnlen(font.face, sizeof(font.face)));
    request.width = font.width;
    request.height = font.height;
    request.bold = bold;
    request.codePage = font.codePage;
    return request;
}

}  // namespace

platform::CodePage TextCodePageForLanguage(const char* language) {
    platform::CodePage codePage = platform::CodePage::Western1252;
    platform::LanguageCodePage(language, codePage);
    return codePage;
}

void SetTextFont(TextFont& font, const char* face, int width, int height, bool bold) {
    size_t length = strnlen(face, sizeof(font.face) - 1);
    std::memcpy(font.face, face, length);
    font.face[length] = '\0';
    font.width = width;
    font.height = height;
    font.bold = bold ? 1 : 0;
}

void DrawTextAt(const TextFont& font, platform::DrawSurface& surface, int x, int y, uint32_t colour,
                const char* text, int alignment) {
    platform::DrawTextOut(surface, SpecOf(font, font.bold != 0), x, y, colour, alignment, text);
}

int TextWidth(const TextFont& font, const char* text) {
    platform::TextFontSpec regular = SpecOf(font, false);
    if (font.bold == 0) {
        return platform::MeasureTextExtent(regular, text);
    }
    int width = 0;
    size_t length = std::strlen(text);
    for (size_t i = 0; i < length;) {
        size_t size = (static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < length) ? 2 : 1;
        width += platform::MeasureTextExtent(regular, std::string_view(text + i, size)) + 1;
        i += size;
    }
    return width;
}

}  // namespace present
