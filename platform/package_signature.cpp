#include "platform/package_signature.h"

#include <sodium.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {

namespace {

static_assert(crypto_sign_PUBLICKEYBYTES == 32 && crypto_sign_SECRETKEYBYTES == 64 &&
              crypto_sign_BYTES == 64);

constexpr std::string_view kLabel = "Brightlea update package 1\n";

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

void InitSodium() {
    if (sodium_init() < 0) {
        std::abort();  // no usable random source: nothing can be signed or checked safely
    }
}

void Add(crypto_sign_state& state, std::string_view text) {
    crypto_sign_update(&state, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// Feeds the statement and the package's bytes; false when the package cannot be read.
bool Feed(crypto_sign_state& state, const std::string& packagePath, const SignedStatement& statement,
          std::string& failure) {
    crypto_sign_init(&state);
    Add(state, kLabel);
    Add(state, "applies-to " + statement.appliesTo + "\n");
    Add(state, "next-key " + (statement.nextKey ? ToHex(*statement.nextKey) : std::string("none")) + "\n");
    std::unique_ptr<FILE, FileCloser> in(std::fopen(packagePath.c_str(), "rb"));
    if (!in) {
        failure = "cannot read the package";
        return false;
    }
    std::vector<unsigned char> block(64 * 1024);
    size_t got = 0;
    while ((got = std::fread(block.data(), 1, block.size(), in.get())) > 0) {
        crypto_sign_update(&state, block.data(), got);
    }
    if (std::ferror(in.get()) != 0) {
        failure = "cannot read the package";
        return false;
    }
    return true;
}

}  // namespace

void MakeKeyPair(PublicKey& publicKey, SecretKey& secretKey) {
    InitSodium();
    crypto_sign_keypair(publicKey.data(), secretKey.data());
}

std::optional<Signature> SignPackage(const std::string& packagePath, const SignedStatement& statement,
                                     const SecretKey& secretKey, std::string& failure) {
    InitSodium();
    crypto_sign_state state;
    if (!Feed(state, packagePath, statement, failure)) {
        return std::nullopt;
    }
    Signature signature{};
    crypto_sign_final_create(&state, signature.data(), nullptr, secretKey.data());
    return signature;
}

bool VerifyPackage(const std::string& packagePath, const SignedStatement& statement,
                   const Signature& signature, const PublicKey& publicKey, std::string& failure) {
    InitSodium();
    crypto_sign_state state;
    if (!Feed(state, packagePath, statement, failure)) {
        return false;
    }
    Signature copy = signature;  // libsodium takes the signature as a writable buffer
    if (crypto_sign_final_verify(&state, copy.data(), publicKey.data()) != 0) {
        failure = "the signature does not verify with this installation's key";
        return false;
    }
    return true;
}

std::string ToHex(const uint8_t* bytes, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

bool FromHex(std::string_view text, uint8_t* bytes, size_t size) {
    if (text.size() != size * 2) {
        return false;
    }
    auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    for (size_t i = 0; i < size; ++i) {
        int high = digit(text[2 * i]);
        int low = digit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

}  // namespace platform
