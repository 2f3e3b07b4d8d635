#include <gtest/gtest.h>

#include <filesystem>

#include "package_maker.h"
#include "updater/update_steps.h"

namespace updater {
namespace {

namespace fs = std::filesystem;

// The data set's updater files give every language a complete message table (every text line,
// failures included) and a version, and name no update server: that is the installation's own.
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
        for (int line = kLineDownloaded; line <= kLineUpdatesOff; ++line) {
            EXPECT_FALSE(MessageLine(state.messages, line).empty()) << language << " line " << line;
        }
        EXPECT_FALSE(PrepareDownload(state, testing_support::ReadFileText(data / "Version.ini"))) << language;
        EXPECT_EQ(state.form.lblMsg, MessageLine(state.messages, kLineUpdatesOff)) << language;
    }
}

}  // namespace
}  // namespace updater
