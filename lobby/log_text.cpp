#include "lobby/log_text.h"

#include <cstdint>

namespace lobby {

namespace {

// The length of the well-formed UTF-8 character at text[at] of a code point from U+00A0 up (no C1
// control, no overlong form, no surrogate), or 0.
size_t PrintableUtf8Length(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
    const uint8_t lead = byte(0);
    const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    uint32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(i) & 0x3F);
    }
    static constexpr uint32_t kSmallest[] = {0, 0, 0xA0, 0x800, 0x10000};
    const bool fits = code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return fits ? length : 0;
}

}  // namespace

std::string LogSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto c = static_cast<uint8_t>(text[at]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++at;
        } else if (const size_t length = c >= 0x80 ? PrintableUtf8Length(text, at) : 0; length > 0) {
            out.append(text.substr(at, length));
            at += length;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
            ++at;
        }
    }
    return out;
}

}  // namespace lobby
