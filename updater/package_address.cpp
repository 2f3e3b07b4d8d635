#include "updater/package_address.h"

namespace updater {

std::string PackageUrl(std::string_view host, std::string_view prefix, std::string_view version) {
    std::string url;
    if (prefix.find("://") == std::string_view::npos) {
        url = "http://";
        url += host;
        if (prefix.empty() || prefix.front() != '/') {
            url += '/';
        }
    }
    url += prefix;
    url += version;
    url += "/UpData.zip";
    return url;
}

}  // namespace updater
