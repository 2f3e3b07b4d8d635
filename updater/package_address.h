#pragma once
// Where the package for an installed version is fetched from.

#include <string>
#include <string_view>

namespace updater {

// The address of the package that brings `version` to the next version: the prefix, the version
// and "/UpData.zip". A prefix that is already a full address ("http://...") is used as it stands;
// otherwise it is a path on the update server `host` (which may carry a ":port").
std::string PackageUrl(std::string_view host, std::string_view prefix, std::string_view version);

}  // namespace updater
