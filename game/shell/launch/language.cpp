#include "game/shell/launch/language.h"

#include <cstring>

namespace shell {

bool IsLanguage(const char* language, const char* upperName) {
    if (std::strcmp(language, upperName) == 0) {
        return true;
    }
    size_t length = std::strlen(upperName);
    if (std::strlen(language) != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        char upper = upperName[i];
        char lower = (upper >= 'A' && upper <= 'Z') ? static_cast<char>(upper + 32) : upper;
        if (language[i] != lower) {
            return false;
        }
    }
    return true;
}

bool UsesDoubleByteText(const char* language) {
    return IsLanguage(language, "KOR") || IsLanguage(language, "JPN");
}

const char* HudFaceForLanguage(const char* language) {
    if (IsLanguage(language, "KOR")) {
        return "\xB1\xBC\xB8\xB2\xC3\xBC";  // the fixed-pitch Gulim face, in its code page
    }
    if (IsLanguage(language, "JPN")) {
        return "MS Gothic";
    }
    if (IsLanguage(language, "ENG")) {
        return "Arial";
    }
    return nullptr;
}

}  // namespace shell
