#include "tools/toolkit/code_page.h"

#include "platform/code_page.h"

namespace tools {
namespace {

// Text sources name their language in upper case only.
bool CodePageOf(std::string_view language, platform::CodePage& codePage) {
    return !language.empty() && language.front() >= 'A' && language.front() <= 'Z' &&
           platform::LanguageCodePage(language, codePage);
}

}  // namespace

bool IsKnownLanguage(std::string_view language) {
    platform::CodePage codePage;
    return CodePageOf(language, codePage);
}

bool ConvertForLanguage(std::string_view utf8, std::string_view language, std::string& out,
                        std::string& error) {
    platform::CodePage codePage;
    if (!CodePageOf(language, codePage)) {
        error = "unknown language " + std::string(language) + " (ENG, KOR or JPN)";
        return false;
    }
    size_t badOffset = 0;
    if (!platform::Utf8ToCodePage(utf8, codePage, out, badOffset)) {
        error = "byte " + std::to_string(badOffset) + ": a character that the " + std::string(language) +
                " code page cannot hold";
        return false;
    }
    return true;
}

}  // namespace tools
