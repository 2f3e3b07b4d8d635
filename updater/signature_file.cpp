#include "updater/signature_file.h"

#include <vector>

#include "updater/line_rules.h"

namespace updater {

namespace {

constexpr std::string_view kHeader = "Brightlea update signature";

// The value after "name " on the line, or nothing.
std::optional<std::string_view> Field(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() + 1 || !line.starts_with(name) || line[name.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(name.size() + 1);
}

bool IsVersionText(std::string_view text) {
    for (char c : text) {
        if (c <= ' ' || c >= 0x7F) {
            return false;
        }
    }
    return !text.empty();
}

}  // namespace

std::optional<SignatureFile> ParseSignatureFile(std::string_view text, std::string& problem) {
    problem = "not a signature file";
    std::vector<std::string_view> lines = SplitLines(text);
    if (text.size() > kSignatureFileMaxBytes || lines.size() != 4 || lines[0] != kHeader) {
        return std::nullopt;
    }
    std::optional<std::string_view> appliesTo = Field(lines[1], "applies-to");
    std::optional<std::string_view> nextKey = Field(lines[2], "next-key");
    std::optional<std::string_view> signature = Field(lines[3], "signature");
    if (!appliesTo || !nextKey || !signature || !IsVersionText(*appliesTo)) {
        return std::nullopt;
    }
    SignatureFile file;
    file.statement.appliesTo = std::string(*appliesTo);
    if (*nextKey != "none") {
        file.statement.nextKey = platform::FromHex<platform::PublicKey>(*nextKey);
        if (!file.statement.nextKey) {
            problem = "the next key is not a key";
            return std::nullopt;
        }
    }
    std::optional<platform::Signature> bytes = platform::FromHex<platform::Signature>(*signature);
    if (!bytes) {
        problem = "the signature is not 128 hexadecimal digits";
        return std::nullopt;
    }
    file.signature = *bytes;
    problem.clear();
    return file;
}

std::string SignatureFileText(const SignatureFile& file) {
    std::string next = file.statement.nextKey ? platform::ToHex(*file.statement.nextKey) : "none";
    return std::string(kHeader) + "\napplies-to " + file.statement.appliesTo + "\nnext-key " + next +
           "\nsignature " + platform::ToHex(file.signature) + "\n";
}

}  // namespace updater
