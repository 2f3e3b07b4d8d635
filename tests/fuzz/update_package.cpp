// Update packages: any bytes given to the extractor either unpack below the target folder or are
// refused; nothing is ever written beside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/zip_extract.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path work =
        fs::temp_directory_path() / ("brightlea-fuzz-package-" + std::to_string(std::random_device{}()));
    fs::path target = work / "game";
    fs::remove_all(work);
    fs::create_directories(target);
    {
        std::ofstream out(work / "UpData.zip", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    platform::ExtractZip((work / "UpData.zip").string(), target.string(), nullptr);
    for (const fs::directory_entry& item : fs::directory_iterator(work)) {
        if (item.path() != target && item.path() != work / "UpData.zip") {
            std::abort();
        }
    }
    fs::remove_all(work);
    return 0;
}
