#pragma once
// "UpData.zip.sig", the detached signature served beside each package:
//
//   Brightlea update signature
//   applies-to 1.00
//   next-key none                 (or the 64 hexadecimal digits of the key that signs the next packages)
//   signature <128 hexadecimal digits>
//
// The signature covers the package's bytes together with the version and the next key (see
// platform/package_signature.h); the applies-to line only lets a refusal say which version the
// signature was made for.

#include <optional>
#include <string>
#include <string_view>

#include "platform/package_signature.h"

namespace updater {

inline constexpr size_t kSignatureFileMaxBytes = 4096;

struct SignatureFile {
    platform::SignedStatement statement;
    platform::Signature signature{};
};

// Exactly the four lines above (a CR before each LF is allowed); nothing, with a printable
// problem, otherwise.
std::optional<SignatureFile> ParseSignatureFile(std::string_view text, std::string& problem);

std::string SignatureFileText(const SignatureFile& file);

}  // namespace updater
