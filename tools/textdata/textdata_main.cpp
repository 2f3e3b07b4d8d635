// textdata gamestring|chat|atstring LANGUAGE SOURCE.txt OUTPUT
// textdata abuse SOURCE.txt OUTPUT
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/toolkit/code_page.h"
#include "tools/toolkit/output_file.h"
#include "tools/toolkit/text_files.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: textdata gamestring|chat|atstring LANGUAGE SOURCE.txt OUTPUT\n"
                 "       textdata abuse SOURCE.txt OUTPUT\n");
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "textdata: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return Usage();
    }
    const std::string_view command = argv[1];
    std::string error;
    tools::SourceFile source;
    if (command == "abuse") {
        std::vector<uint8_t> bytes;
        if (!tools::ReadSourceLines(argv[2], source, error) || !tools::BuildWordList(source, bytes, error) ||
            !tools::WriteFileAtomically(argv[3], bytes, error)) {
            return Fail(error);
        }
        return 0;
    }
    if (argc != 5) {
        return Usage();
    }
    const std::string language = argv[2];
    if (!tools::IsKnownLanguage(language)) {
        return Fail(std::string("unknown language ") + argv[2] + " (ENG, KOR or JPN)");
    }
    if (!tools::ReadSourceLines(argv[3], source, error)) {
        return Fail(error);
    }
    std::string text;
    bool built = false;
    if (command == "gamestring") {
        built = tools::BuildGameStrings(source, language, text, error);
    } else if (command == "chat") {
        built = tools::BuildQuickChat(source, language, text, error);
    } else if (command == "atstring") {
        built = tools::BuildUpdaterStrings(source, language, text, error);
    } else {
        return Usage();
    }
    if (!built || !tools::WriteTextFileAtomically(argv[4], text, error)) {
        return Fail(error);
    }
    return 0;
}
