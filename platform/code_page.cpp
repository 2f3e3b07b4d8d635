#include "platform/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <utility>

namespace platform {

bool LanguageCodePage(std::string_view language, CodePage& codePage) {
    struct Entry {
        std::string_view upper;
        std::string_view lower;
        CodePage codePage;
    };
    static constexpr Entry kLanguages[] = {
        {"KOR", "kor", CodePage::Korean949},
        {"JPN", "jpn", CodePage::Japanese932},
        {"ENG", "eng", CodePage::Western1252},
    };
    for (const Entry& entry : kLanguages) {
        if (language == entry.upper || language == entry.lower) {
            codePage = entry.codePage;
            return true;
        }
    }
    return false;
}

namespace {

const char* IconvName(CodePage codePage) {
    switch (codePage) {
        case CodePage::Korean949:
            return "CP949";
        case CodePage::Japanese932:
            return "CP932";
        case CodePage::Western1252:
            break;
    }
    return "CP1252";
}

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// One converter per code page, opened on first use and kept for the life of the process.
struct Converters {
    std::mutex lock;
    iconv_t open[3] = {reinterpret_cast<iconv_t>(-1), reinterpret_cast<iconv_t>(-1),
                       reinterpret_cast<iconv_t>(-1)};
};

Converters& TheConverters() {
    static Converters converters;
    return converters;
}

}  // namespace

std::string CodePageToUtf8(std::string_view bytes, CodePage codePage) {
    std::string out;
    if (bytes.empty()) {
        return out;
    }
    Converters& converters = TheConverters();
    std::lock_guard<std::mutex> guard(converters.lock);
    iconv_t& cd = converters.open[static_cast<int>(codePage)];
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        cd = iconv_open("UTF-8", IconvName(codePage));
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            // No converter: keep the ASCII part readable.
            for (char c : bytes) {
                out += (static_cast<unsigned char>(c) < 0x80) ? std::string(1, c) : kReplacement;
            }
            return out;
        }
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char chunk[256];
    while (inLeft > 0) {
        char* outPtr = chunk;
        size_t outLeft = sizeof(chunk);
        size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, sizeof(chunk) - outLeft);
        if (result != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a lead byte at the very end): skip one byte and go on.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

bool Utf8ToCodePage(std::string_view utf8, CodePage codePage, std::string& out, size_t& badOffset) {
    badOffset = 0;
    iconv_t cd = iconv_open(IconvName(codePage), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string converted;
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char chunk[256];
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = chunk;
        size_t outLeft = sizeof(chunk);
        const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        converted.append(chunk, sizeof(chunk) - outLeft);
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;
            badOffset = static_cast<size_t>(in - utf8.data());
            break;
        }
    }
    iconv_close(cd);
    if (ok) {
        out = std::move(converted);
    }
    return ok;
}

std::string Utf8ToCodePageDropping(std::string_view utf8, CodePage codePage) {
    std::string all;
    while (!utf8.empty()) {
        std::string part;
        size_t bad = 0;
        if (Utf8ToCodePage(utf8, codePage, part, bad)) {
            return all + part;
        }
        const size_t good = std::min(bad, utf8.size());
        size_t unused = 0;
        if (good > 0 && Utf8ToCodePage(utf8.substr(0, good), codePage, part, unused)) {
            all += part;
        }
        utf8.remove_prefix(good);
        if (utf8.empty()) {
            break;
        }
        // Skip the character that failed: its lead byte and the continuation bytes after it.
        size_t skip = 1;
        while (skip < utf8.size() && (static_cast<unsigned char>(utf8[skip]) & 0xC0) == 0x80) {
            ++skip;
        }
        utf8.remove_prefix(skip);
    }
    return all;
}

}  // namespace platform
