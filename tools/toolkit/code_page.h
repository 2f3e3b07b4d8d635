#pragma once
// Conversion of UTF-8 text sources into the code page each language's data files are stored in.

#include <string>
#include <string_view>

namespace tools {

// "CP1252" for ENG, "CP949" for KOR, "CP932" for JPN; empty for a language the game does not know.
std::string CodePageOfLanguage(std::string_view language);

// Converts UTF-8 text into the code page. Returns false and fills error (naming the offending
// character's byte offset) when the text holds something the code page cannot store.
bool ConvertFromUtf8(std::string_view utf8, const std::string& codePage, std::string& out,
                     std::string& error);

}  // namespace tools
