#pragma once
// Splits one line of the match file into at most five tokens. Blanks, tabs and other control
// characters separate tokens; a double-quoted part keeps its blanks.

namespace shell {

inline constexpr int kMaxStartTokens = 5;
inline constexpr int kStartTokenCapacity = 64;  // 63 characters and the NUL

struct StartTokens {
    char token[kMaxStartTokens][kStartTokenCapacity] = {};
    int count = 0;
};

// Tokens beyond the fifth are ignored; characters beyond a token's 63rd are dropped.
StartTokens TokenizeStartLine(const char* line);

}  // namespace shell
