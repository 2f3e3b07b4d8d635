// updatesign: the maintainer's side of signed updates.
//   updatesign keygen SECRET PUBLIC              makes a key pair (the secret file readable by you alone)
//   updatesign sign SECRET VERSION PACKAGE SIG [NEXT-PUBLIC]
//                                                signs PACKAGE as the package for installed VERSION,
//                                                optionally handing on NEXT-PUBLIC as the next key
//   updatesign verify PUBLIC VERSION PACKAGE SIG checks a signature as the updater does
// Public key files hold the key's 64 hexadecimal digits on one line; secret key files a first line
// "Brightlea update secret key" and the 128 digits of the secret key.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "platform/package_signature.h"
#include "updater/line_rules.h"
#include "updater/signature_file.h"
#include "updater/whole_file.h"

namespace {

constexpr const char* kSecretHeader = "Brightlea update secret key";

int Usage() {
    std::cerr << "usage: updatesign keygen SECRET PUBLIC\n"
                 "       updatesign sign SECRET VERSION PACKAGE SIG [NEXT-PUBLIC]\n"
                 "       updatesign verify PUBLIC VERSION PACKAGE SIG\n";
    return 2;
}

int Fail(const std::string& problem) {
    std::cerr << "updatesign: " << problem << '\n';
    return 1;
}

// Writes a new file (never over an existing one) with the given permission bits.
bool WriteNewFile(const std::string& path, const std::string& text, mode_t mode) {
    mode_t old = umask(0777 & ~mode);
    FILE* out = std::fopen(path.c_str(), "wx");
    umask(old);
    if (out == nullptr) {
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}

std::optional<platform::PublicKey> ReadPublicKey(const std::string& path) {
    std::optional<std::string> text = updater::ReadWholeFile(path);
    if (!text) {
        return std::nullopt;
    }
    return platform::FromHex<platform::PublicKey>(updater::TrimBlanks(*text));
}

std::optional<platform::SecretKey> ReadSecretKey(const std::string& path) {
    std::optional<std::string> text = updater::ReadWholeFile(path);
    std::vector<std::string_view> lines = text ? updater::SplitLines(*text) : std::vector<std::string_view>{};
    if (lines.size() != 2 || lines[0] != kSecretHeader) {
        return std::nullopt;
    }
    return platform::FromHex<platform::SecretKey>(lines[1]);
}

int KeyGen(const std::string& secretPath, const std::string& publicPath) {
    platform::PublicKey publicKey;
    platform::SecretKey secretKey;
    platform::MakeKeyPair(publicKey, secretKey);
    if (!WriteNewFile(secretPath, std::string(kSecretHeader) + "\n" + platform::ToHex(secretKey) + "\n",
                      0600)) {
        return Fail("cannot write " + secretPath + " (it must not exist yet)");
    }
    if (!WriteNewFile(publicPath, platform::ToHex(publicKey) + "\n", 0644)) {
        std::remove(secretPath.c_str());
        return Fail("cannot write " + publicPath + " (it must not exist yet)");
    }
    return 0;
}

int Sign(char** args, int count) {
    std::optional<platform::SecretKey> secretKey = ReadSecretKey(args[0]);
    if (!secretKey) {
        return Fail(std::string(args[0]) + " is not a secret key file");
    }
    updater::SignatureFile file;
    file.statement.appliesTo = args[1];
    if (count == 5) {
        file.statement.nextKey = ReadPublicKey(args[4]);
        if (!file.statement.nextKey) {
            return Fail(std::string(args[4]) + " is not a public key file");
        }
    }
    std::string failure;
    std::optional<platform::Signature> signature =
        platform::SignPackage(args[2], file.statement, *secretKey, failure);
    if (!signature) {
        return Fail(std::string(args[2]) + ": " + failure);
    }
    file.signature = *signature;
    std::string text = updater::SignatureFileText(file);
    std::string problem;
    if (!updater::ParseSignatureFile(text, problem)) {
        return Fail("\"" + file.statement.appliesTo + "\" is no version (printable ASCII without blanks)");
    }
    std::ofstream out(args[3], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out ? 0 : Fail(std::string("cannot write ") + args[3]);
}

int Verify(char** args) {
    std::optional<platform::PublicKey> publicKey = ReadPublicKey(args[0]);
    std::optional<std::string> text = updater::ReadWholeFile(args[3]);
    if (!publicKey || !text) {
        return Fail("cannot read the public key or the signature");
    }
    std::string problem;
    std::optional<updater::SignatureFile> file = updater::ParseSignatureFile(*text, problem);
    if (!file) {
        return Fail(std::string(args[3]) + ": " + problem);
    }
    if (file->statement.appliesTo != args[1]) {
        return Fail("signed for version " + file->statement.appliesTo + ", not " + args[1]);
    }
    if (!platform::VerifyPackage(args[2], file->statement, file->signature, *publicKey, problem)) {
        return Fail(problem);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "keygen") == 0) {
        return KeyGen(argv[2], argv[3]);
    }
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "sign") == 0) {
        return Sign(argv + 2, argc - 2);
    }
    if (argc == 6 && std::strcmp(argv[1], "verify") == 0) {
        return Verify(argv + 2);
    }
    return Usage();
}
