#pragma once
// The code page each language's data files are stored in, for the text tools.

#include <string>
#include <string_view>

namespace tools {

// Converts UTF-8 text into the code page of the language (ENG CP1252, KOR CP949, JPN CP932).
// Returns false and fills error (naming the offending character's byte offset) for an unknown
// language or text that the code page cannot hold.
bool ConvertForLanguage(std::string_view utf8, std::string_view language, std::string& out,
                        std::string& error);

bool IsKnownLanguage(std::string_view language);

}  // namespace tools
