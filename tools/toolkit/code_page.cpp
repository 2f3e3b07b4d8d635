#include "tools/toolkit/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tools {

std::string CodePageOfLanguage(std::string_view language) {
    if (language == "ENG") {
        return "CP1252";
    }
    if (language == "KOR") {
        return "CP949";
    }
    if (language == "JPN") {
        return "CP932";
    }
    return {};
}

bool ConvertFromUtf8(std::string_view utf8, const std::string& codePage, std::string& out,
                     std::string& error) {
    iconv_t cd = iconv_open(codePage.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        error = "the code page " + codePage + " is not available";
        return false;
    }
    std::vector<char> input(utf8.begin(), utf8.end());
    std::vector<char> output(input.size() * 2 + 16);
    char* in = input.data();
    size_t inLeft = input.size();
    char* outPtr = output.data();
    size_t outLeft = output.size();
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const int failure = errno;
    iconv_close(cd);
    if (result == static_cast<size_t>(-1)) {
        const size_t offset = static_cast<size_t>(in - input.data());
        error = failure == EILSEQ || failure == EINVAL
                    ? "byte " + std::to_string(offset) + ": a character that " + codePage + " cannot hold"
                    : "the text could not be converted to " + codePage;
        return false;
    }
    out.assign(output.data(), static_cast<size_t>(outPtr - output.data()));
    return true;
}

}  // namespace tools
