// Signed packages end to end: a loopback server of the test's own serves packages and their
// signatures to the updater as a hostile or a careless server could.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "loopback_server.h"
#include "package_maker.h"
#include "updater/signature_file.h"
#include "updater/update_run.h"
#include "updater/update_settings.h"

namespace updater {
namespace {

namespace fs = std::filesystem;
using testing_support::MakeStoredZip;
using testing_support::ReadFileText;
using testing_support::SignatureFor;
using testing_support::TestKey;
using testing_support::WriteFileText;

constexpr const char* kUpdated = "Updated";
constexpr const char* kUntrusted = "Not genuine";

class SignedUpdateTest : public ::testing::Test {
  protected:
    testing_support::LoopbackServer server;
    testing_support::ScratchFolder scratch;
    fs::path game = scratch.Path();
    TestKey key = TestKey::Make();

    void SetUp() override {
        fs::create_directories(game / "Info" / "ENG");
        fs::create_directories(game / "Upgrade");
        WriteFileText(game / "Option.ini", "LANGUAGE=ENG\n");
        WriteFileText(
            game / "Info" / "ENG" / "ATString.ini",
            "00 \n01 \n02 Received\n03 " + std::string(kUpdated) +
                "\n04 Up to date\n05 Looking\n06 Downloading\n07 Update\n08 a\n09 b\n10 c\n11 d\n12 " +
                kUntrusted + "\n13 Not applied\n14 Off\n");
        WriteFileText(game / "Version.ini", "1.00\n");
        WriteFileText(game / "Ravelin", "#!/bin/sh\necho started > lobby-started.txt\n");
        fs::permissions(game / "Ravelin", fs::perms::owner_all);
        WriteSettings(key.publicKey);
    }

    void WriteSettings(const platform::PublicKey& publicKey) {
        UpdateSettings settings{"http://" + server.Host() + "/brightlea/", publicKey};
        WriteFileText(game / "Upgrade" / "Update.ini", UpdateSettingsText(settings));
    }

    std::string PackagePath(const std::string& version) { return "/brightlea/" + version + "/UpData.zip"; }
    void Serve(const std::string& version, const std::string& package, const std::string& signature) {
        server.Serve(PackagePath(version), package);
        server.Serve(PackagePath(version) + ".sig", signature);
    }

    UpdaterOutcome Run() {
        UpdaterOptions options;
        options.gameFolder = game.string();
        options.stepInterval = std::chrono::milliseconds(5);
        options.stallLimit = std::chrono::milliseconds(1000);
        options.showWindow = false;
        std::error_code ignored;
        fs::remove(game / "lobby-started.txt", ignored);
        testing::internal::CaptureStderr();
        UpdaterOutcome outcome = RunUpdater(options);
        printed = testing::internal::GetCapturedStderr();
        return outcome;
    }
    // The whole installation, the update settings included, without the downloaded package and the
    // lobby's mark.
    std::map<std::string, std::string> Installation() {
        return testing_support::TreeSnapshot(game, {"Upgrade/UpData.zip", "lobby-started.txt"});
    }
    bool LobbyStarted() {
        for (int i = 0; i < 500 && !fs::exists(game / "lobby-started.txt"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return fs::exists(game / "lobby-started.txt");
    }

    std::string printed;  // standard error of the last run
};

// Two versions in a row; the first package hands on a new key, which signs the second.
TEST_F(SignedUpdateTest, SignedChainIsAppliedAndHandsOnTheNextKey) {
    TestKey next = TestKey::Make();
    std::string first = MakeStoredZip({{"Version.ini", "1.01\n"}, {"Map/Hole1.fnx", "one"}});
    std::string second = MakeStoredZip({{"Version.ini", "1.02\n"}, {"Map/Hole1.fnx", "two"}});
    Serve("1.00", first, SignatureFor(first, "1.00", key, next.publicKey));
    Serve("1.01", second, SignatureFor(second, "1.01", next));
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUpdated) << printed;
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.02\n");
    EXPECT_EQ(ReadFileText(game / "Map" / "Hole1.fnx"), "two");
    std::string problem;
    std::optional<UpdateSettings> settings =
        ParseUpdateSettings(ReadFileText(game / "Upgrade" / "Update.ini"), problem);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->key, next.publicKey);
    EXPECT_EQ(settings->server, "http://" + server.Host() + "/brightlea/");
    EXPECT_TRUE(LobbyStarted());

    // The old key no longer counts.
    std::string third = MakeStoredZip({{"Version.ini", "1.03\n"}});
    Serve("1.02", third, SignatureFor(third, "1.02", key));
    std::map<std::string, std::string> before = Installation();
    outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUntrusted);
    EXPECT_EQ(Installation(), before);
}

// Each refused before anything is unpacked, with the installation byte for byte as it was, a
// plain reason on standard error, and the lobby started.
TEST_F(SignedUpdateTest, PackagesThatDoNotVerifyAreRefused) {
    std::string package = MakeStoredZip({{"Version.ini", "1.01\n"}, {"Ravelin", "#!/bin/sh\necho owned\n"}});
    std::string good = SignatureFor(package, "1.00", key);
    std::string tampered = package;
    tampered[tampered.size() / 2] ^= 0x01;
    std::string edited = good;
    edited.replace(edited.find("applies-to 1.00"), 15, "applies-to 1.01");
    struct Case {
        const char* what;
        std::string installed;
        std::string package;
        std::string signature;  // empty: none served
        const char* reason;
    };
    const Case cases[] = {
        {"unsigned", "1.00\n", package, "", "not signed"},  // first: no signature served yet
        {"a byte changed on the way", "1.00\n", tampered, good, "does not verify"},
        {"signed by another key", "1.00\n", package, SignatureFor(package, "1.00", TestKey::Make()),
         "does not verify"},
        {"an old package offered again", "1.01\n", package, good, "signed for version 1.00"},
        {"an old package with its version edited", "1.01\n", package, edited, "does not verify"},
        {"a malformed signature", "1.00\n", package, "Brightlea update signature\nsignature 00\n",
         "malformed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileText(game / "Version.ini", c.installed);
        std::string version = c.installed.substr(0, 4);
        server.Serve(PackagePath(version), c.package);
        if (!c.signature.empty()) {
            server.Serve(PackagePath(version) + ".sig", c.signature);
        }
        std::map<std::string, std::string> before = Installation();
        UpdaterOutcome outcome = Run();
        EXPECT_EQ(outcome.lastMessage, kUntrusted);
        EXPECT_NE(printed.find("refused before unpacking"), std::string::npos) << printed;
        EXPECT_NE(printed.find(c.reason), std::string::npos) << printed;
        EXPECT_EQ(Installation(), before);
        EXPECT_TRUE(LobbyStarted());
    }
}

TEST_F(SignedUpdateTest, InstallationWithoutAKeyTakesNoPackage) {
    std::string package = MakeStoredZip({{"Version.ini", "1.01\n"}});
    Serve("1.00", package, SignatureFor(package, "1.00", key));
    WriteFileText(game / "Upgrade" / "Update.ini", "SERVER=http://" + server.Host() + "/brightlea\n");
    UpdaterOutcome outcome = Run();
    EXPECT_EQ(outcome.lastMessage, kUntrusted);
    EXPECT_NE(printed.find("has no update key"), std::string::npos) << printed;
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\n");

    WriteFileText(game / "Upgrade" / "Update.ini", "KEY=not a key\n");
    outcome = Run();
    EXPECT_EQ(outcome.lastMessage, "Cannot read Upgrade/Update.ini");
    EXPECT_TRUE(LobbyStarted());
}

TEST(SignatureFile, ReadsOnlyWhatItWrites) {
    SignatureFile file;
    file.statement.appliesTo = "1.00";
    file.statement.nextKey = TestKey::Make().publicKey;
    file.signature.fill(0xA5);
    std::string text = SignatureFileText(file);
    std::string problem;
    std::optional<SignatureFile> read = ParseSignatureFile(text, problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->statement.appliesTo, "1.00");
    EXPECT_EQ(read->statement.nextKey, file.statement.nextKey);
    EXPECT_EQ(read->signature, file.signature);
    for (std::string bad :
         {text.substr(1), text + "extra\n", text.substr(0, text.size() - 3) + "\n",
          std::string("Brightlea update signature\napplies-to 1 0\nnext-key none\nsignature ") +
              std::string(128, '0') + "\n"}) {
        EXPECT_FALSE(ParseSignatureFile(bad, problem)) << bad;
    }
}

}  // namespace
}  // namespace updater
