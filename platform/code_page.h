#pragma once
// Game text is kept as bytes in the code page of the interface language: Korean in CP949, Japanese
// in CP932, everything else in CP1252. Only the text drawing converts it, to UTF-8.

#include <string>
#include <string_view>

namespace platform {

enum class CodePage { Western1252, Korean949, Japanese932 };

// The code page of an interface language: "KOR" CP949, "JPN" CP932, "ENG" CP1252, each also in
// lower case. False for any other name, codePage unchanged.
bool LanguageCodePage(std::string_view language, CodePage& codePage);

// Converts code-page bytes to UTF-8. Bytes that do not form a character of the code page (a lone
// lead byte, an unassigned pair) become U+FFFD and the conversion goes on after them.
std::string CodePageToUtf8(std::string_view bytes, CodePage codePage);

// Converts UTF-8 text into the code page. Returns false, with badOffset the byte offset in utf8 of
// the first character that cannot be converted (or is not valid UTF-8), and out unchanged.
bool Utf8ToCodePage(std::string_view utf8, CodePage codePage, std::string& out, size_t& badOffset);

// Converts UTF-8 text into the code page, leaving out each character that cannot be converted (or
// each byte that is not valid UTF-8).
std::string Utf8ToCodePageDropping(std::string_view utf8, CodePage codePage);

}  // namespace platform
