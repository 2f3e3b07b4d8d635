#pragma once
// Ed25519 signatures of update packages (libsodium). A package is signed as one message: a fixed
// label, the installed version the package applies to, the next public key it hands on (or none)
// and then the package's bytes. A signature therefore fits neither another version's place (an
// old package served again to turn an installation back) nor another key. Packages are read in
// blocks with the prehashed form (Ed25519ph), never held whole.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using PublicKey = std::array<uint8_t, 32>;
using SecretKey = std::array<uint8_t, 64>;
using Signature = std::array<uint8_t, 64>;

// What a signature vouches for besides the package's bytes.
struct SignedStatement {
    std::string appliesTo;             // the installed version, printable ASCII without blanks
    std::optional<PublicKey> nextKey;  // the key that signs the packages after this one
};

void MakeKeyPair(PublicKey& publicKey, SecretKey& secretKey);

// Nothing, with a printable failure, when the package cannot be read.
std::optional<Signature> SignPackage(const std::string& packagePath, const SignedStatement& statement,
                                     const SecretKey& secretKey, std::string& failure);

// False, with a printable failure, when the package cannot be read or the signature does not verify.
bool VerifyPackage(const std::string& packagePath, const SignedStatement& statement,
                   const Signature& signature, const PublicKey& publicKey, std::string& failure);

// Lower-case hexadecimal, and back (nothing unless the text is exactly the bytes' hex digits).
std::string ToHex(const uint8_t* bytes, size_t size);
template <size_t N>
std::string ToHex(const std::array<uint8_t, N>& bytes) {
    return ToHex(bytes.data(), N);
}
bool FromHex(std::string_view text, uint8_t* bytes, size_t size);
template <typename Bytes>
std::optional<Bytes> FromHex(std::string_view text) {
    Bytes bytes{};
    return FromHex(text, bytes.data(), bytes.size()) ? std::optional<Bytes>(bytes) : std::nullopt;
}

}  // namespace platform
