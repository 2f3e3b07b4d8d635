#include "game/screens/score_text.h"

#include <cstdio>

namespace screens {

void FormatToPar(char* out, size_t size, int toPar) {
    if (toPar == 0) {
        std::snprintf(out, size, "E");
    } else {
        std::snprintf(out, size, "%s%d", toPar > 0 ? "+" : "", toPar);
    }
}

void FormatBalance(char* out, size_t size, int balance) {
    std::snprintf(out, size, "%s%d", balance > 0 ? "+" : "", balance);
}

int CharacterBytes(unsigned char lead, platform::CodePage codePage) {
    switch (codePage) {
        case platform::CodePage::Korean949:
            return lead >= 0x81 && lead <= 0xFE ? 2 : 1;
        case platform::CodePage::Japanese932:
            return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
        default:
            return 1;
    }
}

std::string FitToWidth(const std::string& text, platform::CodePage codePage, int maxWidth,
                       const std::function<int(const std::string&)>& measure) {
    if (measure(text) <= maxWidth) {
        return text;
    }
    std::string fitted;
    size_t at = 0;
    while (at < text.size()) {
        const size_t next =
            at + static_cast<size_t>(CharacterBytes(static_cast<unsigned char>(text[at]), codePage));
        if (next > text.size()) {
            break;  // a lone lead byte at the end is no character
        }
        const std::string longer = text.substr(0, next);
        if (measure(longer) > maxWidth) {
            break;
        }
        fitted = longer;
        at = next;
    }
    return fitted;
}

}  // namespace screens
