#include "game/shell/launch/start_tokens.h"

namespace shell {

namespace {

bool IsSeparator(unsigned char c) {
    return c == ' ' || (c >= 1 && c <= 31);
}

}  // namespace

StartTokens TokenizeStartLine(const char* line) {
    StartTokens tokens;
    int length = 0;  // characters in the token being filled
    bool inToken = false;
    bool quoted = false;
    auto append = [&](char c) {
        if (length < kStartTokenCapacity - 1) {
            tokens.token[tokens.count][length++] = c;
        }
    };
    auto finish = [&] {
        ++tokens.count;
        length = 0;
        inToken = false;
    };
    for (const char* p = line; *p != '\0' && tokens.count < kMaxStartTokens; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (quoted) {
            // A quote left open closes at the line end, which never belongs to a value.
            if (c == '"' || c == '\n' || c == '\r') {
                quoted = false;
                finish();
            } else {
                append(static_cast<char>(c));
            }
        } else if (c == '"') {
            quoted = true;
            inToken = true;
        } else if (IsSeparator(c)) {
            if (inToken) {
                finish();
            }
        } else {
            inToken = true;
            append(static_cast<char>(c));
        }
    }
    if (inToken && tokens.count < kMaxStartTokens) {
        ++tokens.count;
    }
    return tokens;
}

}  // namespace shell
