// Update packages: any bytes given as a package are either applied inside the game directory or
// refused; nothing is ever written beside it and no staging folder or journal is left behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "updater/package_transaction.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path work =
        fs::temp_directory_path() / ("brightlea-fuzz-package-" + std::to_string(std::random_device{}()));
    fs::path target = work / "game";
    fs::remove_all(work);
    fs::create_directories(target / "Upgrade");
    {
        std::ofstream out(work / "UpData.zip", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    updater::InstallPackage(fs::canonical(target), (work / "UpData.zip").string(),
                            platform::CodePage::Western1252, {}, {});
    for (const fs::directory_entry& item : fs::directory_iterator(work)) {
        if (item.path() != target && item.path() != work / "UpData.zip") {
            std::abort();
        }
    }
    if (!fs::is_empty(target / "Upgrade")) {
        std::abort();
    }
    fs::remove_all(work);
    return 0;
}
