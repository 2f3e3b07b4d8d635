#pragma once
// The installation's own update settings, "Upgrade/Update.ini", written by the installer: where
// the packages come from and the public key their signatures must verify with. Packages cannot
// write into "Upgrade", so only the installer and a package's signed hand-over to a next key
// change them.
//
//   SERVER=https://updates.example.net/brightlea/
//   KEY=<64 hexadecimal digits>

#include <optional>
#include <string>
#include <string_view>

#include "platform/package_signature.h"

namespace updater {

inline constexpr const char* kUpdateSettingsPath = "Upgrade/Update.ini";

struct UpdateSettings {
    std::string server;  // the address the version folders lie under, ending in "/"; empty: none set
    std::optional<platform::PublicKey> key;
};

// Lines "NAME=value" (CR before LF dropped, blanks around the value trimmed); blank lines and lines
// starting with '#' are skipped, and so are names it does not know. Nothing, with a printable
// problem, when SERVER is not an http:// or https:// address of printable ASCII or KEY is not a
// key.
std::optional<UpdateSettings> ParseUpdateSettings(std::string_view text, std::string& problem);

std::string UpdateSettingsText(const UpdateSettings& settings);

}  // namespace updater
