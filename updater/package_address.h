#pragma once
// Where the package for an installed version is fetched from.

#include <optional>
#include <string>
#include <string_view>

namespace updater {

// The address the version folders lie under, from the message lines: a prefix that is already a
// full address ("https://...") as it stands, otherwise "http://" + host + the prefix as a path on
// it (the host may carry a ":port"). Nothing when neither names a server: updates are off.
std::optional<std::string> PackageFolderAddress(std::string_view host, std::string_view prefix);

// The address of the package that brings `version` to the next version: the folder address, the
// version and "/UpData.zip".
std::string PackageUrl(std::string_view folderAddress, std::string_view version);

// Its detached signature, fetched from beside it.
std::string SignatureUrl(std::string_view packageUrl);

}  // namespace updater
