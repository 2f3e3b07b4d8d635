// How fast an update package is applied: a deflated package of 64 files of 256 KiB each (16 MiB),
// unpacked into the staging folder and flushed, checked, then moved in under its journal.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "updater/package_transaction.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 64;
constexpr size_t kFileBytes = 256 * 1024;

// Writes the files (half random, half repetitive, like pictures and models) and zips them.
fs::path MakePackage(const fs::path& work) {
    std::mt19937 random(7);
    fs::path content = work / "content";
    for (int i = 0; i < kFiles; ++i) {
        fs::path file = content / ("Folder" + std::to_string(i % 4)) / ("File" + std::to_string(i) + ".fni");
        fs::create_directories(file.parent_path());
        std::string bytes(kFileBytes, '\0');
        for (size_t b = 0; b < bytes.size(); ++b) {
            bytes[b] = b % 2 == 0 ? static_cast<char>(random()) : static_cast<char>(b / 64);
        }
        std::ofstream(file, std::ios::binary) << bytes;
    }
    fs::path archive = work / "UpData.zip";
    std::string command = "cd '" + content.string() + "' && zip -q -r '" + archive.string() + "' .";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    return archive;
}

void BM_ExtractPackage(benchmark::State& state) {
    fs::path work =
        fs::temp_directory_path() / ("brightlea-bench-package-" + std::to_string(std::random_device{}()));
    fs::path archive = MakePackage(work);
    if (archive.empty()) {
        state.SkipWithError("the zip tool failed");
        return;
    }
    fs::path game = work / "game";
    fs::create_directories(game);
    game = fs::canonical(game);
    for (auto _ : state) {
        updater::InstallResult result =
            updater::InstallPackage(game, archive.string(), platform::CodePage::Western1252, {}, {});
        if (!result.ok) {
            state.SkipWithError(result.failure.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFiles *
                            static_cast<int64_t>(kFileBytes));
    fs::remove_all(work);
}
BENCHMARK(BM_ExtractPackage)->Unit(benchmark::kMillisecond);

}  // namespace
