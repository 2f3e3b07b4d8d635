#include "platform/printable_text.h"

namespace platform {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string PrintableName(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            out += "\\\\";
        } else if (IsControl(byte) || byte >= 0x80) {
            AppendEscaped(out, byte);
        } else {
            out += c;
        }
    }
    return out;
}

std::string WithoutControlBytes(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (IsControl(byte)) {
            AppendEscaped(out, byte);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace platform
