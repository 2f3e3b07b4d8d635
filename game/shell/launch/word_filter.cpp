#include "game/shell/launch/word_filter.h"

#include <cstring>
#include <string>

namespace shell {

namespace {

constexpr size_t kHeaderSize = 12;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

uint8_t RotateLeft(uint8_t b, int k) {
    k &= 7;
    return static_cast<uint8_t>((b << k) | (b >> ((8 - k) & 7)));
}

std::string Normalise(const char* text, bool doubleByteText) {
    std::string letters;
    for (const char* p = text; *p != '\0'; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            if (doubleByteText && p[1] != '\0') {
                ++p;
            }
            continue;
        }
        if ((c >= 64 && c <= 90) || (c >= 97 && c <= 122)) {
            letters += Lower(static_cast<char>(c));
        }
    }
    return letters;
}

}  // namespace

WordListStatus ParseWordList(std::span<const uint8_t> bytes, WordList& list) {
    list.words.clear();
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), "FNST", 4) != 0) {
        return WordListStatus::kBadMagic;
    }
    const uint8_t* expectedCheck = bytes.data() + 4;
    uint32_t count = static_cast<uint32_t>(bytes[8]) | static_cast<uint32_t>(bytes[9]) << 8 |
                     static_cast<uint32_t>(bytes[10]) << 16 | static_cast<uint32_t>(bytes[11]) << 24;
    uint8_t check[4] = {};
    size_t at = kHeaderSize;
    size_t checked = 0;  // bytes folded into the check so far
    auto take = [&](uint8_t& out) {
        if (at >= bytes.size()) {
            return false;
        }
        out = bytes[at++];
        check[checked++ % 4] ^= out;
        return true;
    };
    for (uint32_t word = 0; word < count; ++word) {
        uint8_t length = 0;
        uint8_t key = 0;
        if (!take(length) || !take(key)) {
            break;
        }
        std::string decoded;
        bool complete = true;
        for (int i = 0; i < length; ++i) {
            uint8_t b = 0;
            if (!take(b)) {
                complete = false;
                break;
            }
            decoded += static_cast<char>(RotateLeft(b, key));
        }
        if (!complete) {
            break;
        }
        // The stored text ends with one character that is not part of the word.
        decoded.resize(std::strlen(decoded.c_str()));
        if (decoded.size() < 2) {
            continue;  // an empty word would match every line
        }
        decoded.pop_back();
        for (char& c : decoded) {
            c = Lower(c);
        }
        list.words.push_back(std::move(decoded));
    }
    return std::memcmp(check, expectedCheck, 4) == 0 ? WordListStatus::kLoaded
                                                     : WordListStatus::kCheckMismatch;
}

bool IsTextBlocked(const WordList& list, const char* text, bool doubleByteText) {
    std::string letters = Normalise(text, doubleByteText);
    for (const std::string& word : list.words) {
        if (letters.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace shell
