#include "updater/update_steps.h"

#include <gtest/gtest.h>

#include <map>

namespace updater {
namespace {

constexpr const char* kMessages =
    "00=127.0.0.1:9\n01=/patch/\n02=Downloaded\n03=Updated\n04=Up to date\n05=Starting\n06=Downloading\n"
    "07=Brightlea Update\n";

ReadTextFile FilesOf(std::map<std::string, std::string> files) {
    return [files](const std::string& path) -> std::optional<std::string> {
        auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

UpdaterState Created() {
    UpdaterState state;
    FormCreate(state, FilesOf({{"Option.ini", "LANGUAGE=ENG\n"}, {"Info/ENG/ATString.ini", kMessages}}));
    return state;
}

// Runs one download (of the version in versionText) and its unpacking with the given results.
void RunOnePackage(UpdaterState& state, const char* versionText, bool downloaded, bool unpacked) {
    ASSERT_EQ(tmrDelayTimer(state), StepAction::Download);
    ASSERT_TRUE(PrepareDownload(state, versionText));
    DownloadFinished(state, downloaded);
    if (downloaded) {
        ASSERT_EQ(tmrDelayTimer(state), StepAction::Unpack);
        UnpackFinished(state, unpacked);
    }
}

TEST(UpdaterSetUp, ReadsLanguageMessagesAndCaption) {
    UpdaterState state = Created();
    EXPECT_EQ(state.language, "ENG");
    EXPECT_EQ(state.form.lblMsg, "Starting");
    EXPECT_EQ(state.form.caption, "Brightlea Update");
    EXPECT_EQ(state.updateStep, kStepDownload);
    EXPECT_TRUE(state.problems.empty());
}

TEST(UpdaterSetUp, MissingOrShortFilesAreReportedAndTheLobbyStarts) {
    struct Case {
        std::map<std::string, std::string> files;
        const char* shown;
    };
    const Case cases[] = {
        {{}, "Cannot read Option.ini"},
        {{{"Option.ini", "D3D=1\n"}}, "Option.ini has no LANGUAGE line"},
        {{{"Option.ini", "LANGUAGE=JPN\n"}}, "Cannot read Info/JPN/ATString.ini"},
        {{{"Option.ini", "LANGUAGE=JPN\n"}, {"Info/JPN/ATString.ini", "00=host\n06=x\n"}},
         "Info/JPN/ATString.ini has fewer than 8 message lines"},
    };
    for (const Case& c : cases) {
        UpdaterState state;
        FormCreate(state, FilesOf(c.files));
        EXPECT_EQ(state.form.lblMsg, c.shown);
        ASSERT_EQ(state.problems.size(), 1u);
        EXPECT_EQ(state.updateStep, kStepStartLobby);
        EXPECT_EQ(tmrDelayTimer(state), StepAction::StartLobby);
    }
}

TEST(UpdaterSteps, WalksVersionsUntilADownloadFails) {
    UpdaterState state = Created();
    ASSERT_EQ(tmrDelayTimer(state), StepAction::Download);
    EXPECT_EQ(state.updateStep, kStepBusy);
    EXPECT_EQ(tmrDelayTimer(state), StepAction::None);  // the timer is stopped while a step runs
    ASSERT_TRUE(PrepareDownload(state, "1.00\n"));
    EXPECT_EQ(state.packageUrl, "http://127.0.0.1:9/patch/1.00/UpData.zip");
    DownloadProgress(state, 2048, 5000);
    EXPECT_EQ(state.form.lblMsg, "Downloading");
    EXPECT_EQ(state.form.lblProgress, "2 KByte / 4 KByte");
    EXPECT_EQ(state.form.ProgressBar1.max, 5000);
    EXPECT_EQ(state.form.ProgressBar1.position, 2048);
    DownloadFinished(state, true);
    EXPECT_EQ(state.form.lblMsg, "Downloaded");

    ASSERT_EQ(tmrDelayTimer(state), StepAction::Unpack);
    UnZipProgress(state, 40);
    EXPECT_EQ(state.form.ProgressBar1.max, 101);
    EXPECT_EQ(state.form.lblProgress, "40 %");
    UnpackFinished(state, true);
    EXPECT_TRUE(state.packageUnpacked);

    ASSERT_EQ(tmrDelayTimer(state), StepAction::Download);
    ASSERT_TRUE(PrepareDownload(state, "1.00\n1.01\n"));
    DownloadFinished(state, false);
    EXPECT_EQ(state.form.lblMsg, "Updated");
    EXPECT_EQ(tmrDelayTimer(state), StepAction::StartLobby);
    EXPECT_EQ(tmrDelayTimer(state), StepAction::None);
}

TEST(UpdaterSteps, MissingFirstPackageEndsWithNothingNewAndARefusedOneWithItsLine) {
    UpdaterState downloadFailed = Created();
    RunOnePackage(downloadFailed, "1.00", false, false);
    EXPECT_EQ(downloadFailed.form.lblMsg, "Up to date");
    EXPECT_EQ(downloadFailed.updateStep, kStepStartLobby);

    UpdaterState unpackFailed = Created();
    RunOnePackage(unpackFailed, "1.00", true, false);
    EXPECT_EQ(unpackFailed.form.lblMsg, "Update refused: the package could not be applied.");
    EXPECT_EQ(tmrDelayTimer(unpackFailed), StepAction::StartLobby);
}

TEST(UpdaterSteps, RepeatedOrMissingVersionStopsTheWalk) {
    UpdaterState state = Created();
    RunOnePackage(state, "1.00", true, true);
    tmrDelayTimer(state);
    EXPECT_FALSE(PrepareDownload(state, "1.00\n"));  // the package named its own version again
    EXPECT_EQ(state.form.lblMsg, "Updated");
    EXPECT_EQ(tmrDelayTimer(state), StepAction::StartLobby);

    UpdaterState noVersion = Created();
    tmrDelayTimer(noVersion);
    EXPECT_FALSE(PrepareDownload(noVersion, std::nullopt));
    EXPECT_EQ(noVersion.form.lblMsg, "Version.ini is missing or names no version");
    EXPECT_EQ(tmrDelayTimer(noVersion), StepAction::StartLobby);
}

}  // namespace
}  // namespace updater
