#include <gtest/gtest.h>

#include <filesystem>

#include "package_maker.h"
#include "updater/update_steps.h"

namespace updater {
namespace {

namespace fs = std::filesystem;

// The data set's updater files give every language a complete message table and a version.
TEST(BundledData, UpdaterFilesAreComplete) {
    fs::path data = BRIGHTLEA_GAMEDATA_DIR;
    if (!fs::exists(data / "Version.ini")) {
        GTEST_SKIP() << "no data set built";
    }
    for (const char* language : {"ENG", "KOR", "JPN"}) {
        UpdaterState state;
        FormCreate(state, [&](const std::string& path) -> std::optional<std::string> {
            if (path == "Option.ini") {
                return std::string("LANGUAGE=") + language + "\r\n";
            }
            if (!fs::exists(data / path)) {
                return std::nullopt;
            }
            return testing_support::ReadFileText(data / path);
        });
        EXPECT_TRUE(state.problems.empty()) << language << ": " << state.form.lblMsg;
        EXPECT_FALSE(state.form.caption.empty()) << language;
        EXPECT_EQ(tmrDelayTimer(state), StepAction::Download) << language;
        EXPECT_TRUE(PrepareDownload(state, testing_support::ReadFileText(data / "Version.ini"))) << language;
    }
}

}  // namespace
}  // namespace updater
