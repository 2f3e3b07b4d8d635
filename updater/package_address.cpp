#include "updater/package_address.h"

namespace updater {

std::optional<std::string> PackageFolderAddress(std::string_view host, std::string_view prefix) {
    if (prefix.find("://") != std::string_view::npos) {
        return std::string(prefix);
    }
    if (host.empty()) {
        return std::nullopt;
    }
    std::string address = "http://";
    address += host;
    if (prefix.empty() || prefix.front() != '/') {
        address += '/';
    }
    address += prefix;
    return address;
}

std::string PackageUrl(std::string_view folderAddress, std::string_view version) {
    std::string url(folderAddress);
    url += version;
    url += "/UpData.zip";
    return url;
}

std::string SignatureUrl(std::string_view packageUrl) {
    return std::string(packageUrl) + ".sig";
}

}  // namespace updater
