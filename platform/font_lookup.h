#pragma once
// Finds the font file that stands in for a Windows face name.

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace platform {

// The fontconfig family that stands in for a Windows face name given in code-page bytes ("Arial",
// "Courier New", "MS Gothic", the Korean Gulim faces), or nullptr for a face without a stand-in.
// Face names compare without regard to ASCII case, as Windows compares them.
const char* StandInFamily(std::string_view face);

// The family whose glyphs cover the texts of a code page (Hangul for CP949, kana and kanji for CP932),
// used when the requested face lacks a character.
const char* CodePageFamily(CodePage codePage);

struct FontFile {
    std::string path;
    int index = 0;             // face index inside a collection
    bool hasBoldFace = false;  // the file is a bold design; otherwise bold is synthesised
};

// Asks fontconfig for the best file of a family (UTF-8) in regular or bold weight. Returns an empty
// path when fontconfig knows no font at all.
FontFile FindFontFile(const std::string& family, bool bold);

}  // namespace platform
