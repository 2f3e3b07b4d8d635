#include "updater/update_journal.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "package_maker.h"
#include "updater/package_transaction.h"

namespace updater {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::TreeSnapshot;
using testing_support::WriteFileText;

constexpr const char* kJournal =
    "Brightlea update journal\n"
    "state applying\n"
    "staging Upgrade/Staging-1-2\n"
    "folder Map\n"
    "folder Map/Club 01\n"
    "file 1 0 Version.ini\n"
    "file 0 3 Map/Club 01/Hole.ini\n"
    "end\n";

TEST(UpdateJournal, ReadsAndWritesItsText) {
    std::optional<UpdateJournal> journal = ParseJournal(kJournal);
    ASSERT_TRUE(journal);
    EXPECT_FALSE(journal->committed);
    EXPECT_EQ(journal->staging, "Upgrade/Staging-1-2");
    EXPECT_EQ(journal->newFolders, (std::vector<std::string>{"Map", "Map/Club 01"}));
    ASSERT_EQ(journal->files.size(), 2u);
    EXPECT_TRUE(journal->files[0].replaces);
    EXPECT_EQ(journal->files[0].staged, "0");
    EXPECT_EQ(journal->files[1].target, "Map/Club 01/Hole.ini");
    EXPECT_EQ(JournalText(*journal), kJournal);
    journal->committed = true;
    EXPECT_TRUE(ParseJournal(JournalText(*journal))->committed);
}

TEST(UpdateJournal, DamagedOrHostileJournalsAreNotRead) {
    std::string whole = kJournal;
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = whole;
        return text.replace(text.find(from), from.size(), to);
    };
    for (const std::string& text : {
             whole.substr(0, whole.size() - 4),                              // cut before "end"
             replaced("state applying", "state unknown"),                    //
             replaced("staging Upgrade/Staging-1-2", "staging ../outside"),  //
             replaced("folder Map\n", "folder /etc\n"),                      //
             replaced("file 1 0 Version.ini", "file 1 0 ../Version.ini"),    //
             replaced("file 1 0", "file 2 0"),                               //
             replaced("file 1 0", "file 1 a/0"),                             //
             replaced("folder Map\n", "chmod Map\n"),                        //
             std::string(),
         }) {
        EXPECT_FALSE(ParseJournal(text)) << text;
    }
}

// An installation caught by a kill in the middle of applying a package: the journal and the
// staging folder as the killed run left them.
class RecoveryTest : public ::testing::Test {
  protected:
    ScratchFolder scratch;
    fs::path game;
    fs::path staging;

    void SetUp() override {
        game = fs::canonical(scratch.Path());
        staging = game / "Upgrade" / "Staging-1-2";
        fs::create_directories(staging);
        WriteFileText(game / "Option.ini", "LANGUAGE=ENG\n");
    }
    // Version.ini 1.00 -> 1.01 and a new Map/Club 01/Hole.ini, both new files staged.
    void Interrupted(const char* state) {
        std::string text = kJournal;
        text.replace(text.find("state applying"), 14, state);
        WriteFileText(game / kJournalPath, text);
        WriteFileText(staging / "0", "1.01\n");
        WriteFileText(staging / "3", "hole");
    }
    std::map<std::string, std::string> Snapshot() { return TreeSnapshot(game, {"Upgrade"}); }
};

TEST_F(RecoveryTest, ApplyingUpdateIsUndone) {
    // The old Version.ini was moved aside and the new one moved in; the new folders exist.
    Interrupted("state applying");
    WriteFileText(staging / BackupName(0), "1.00\n");
    fs::rename(staging / "0", game / "Version.ini");
    fs::create_directories(game / "Map" / "Club 01");
    std::map<std::string, std::string> expected = Snapshot();
    expected.erase("Map");
    expected.erase("Map/Club 01");
    expected["Version.ini"] = TreeSnapshot(staging)[BackupName(0)];

    EXPECT_EQ(RecoverInterruptedUpdate(game), "");
    EXPECT_EQ(Snapshot(), expected);
    EXPECT_TRUE(fs::is_empty(game / "Upgrade"));
    EXPECT_EQ(RecoverInterruptedUpdate(game), "");  // nothing left to do
}

TEST_F(RecoveryTest, CommittedUpdateIsFinished) {
    // Killed after the commit, before the cleaning up, with the second file still waiting.
    Interrupted("state committed");
    WriteFileText(game / "Version.ini", "1.00\n");
    fs::rename(game / "Version.ini", staging / BackupName(0));
    fs::rename(staging / "0", game / "Version.ini");
    fs::create_directories(game / "Map");

    EXPECT_EQ(RecoverInterruptedUpdate(game), "");
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.01\n");
    EXPECT_EQ(ReadFileText(game / "Map" / "Club 01" / "Hole.ini"), "hole");
    EXPECT_TRUE(fs::is_empty(game / "Upgrade"));
}

TEST_F(RecoveryTest, StagingFoldersOfKilledUnpackingAreRemoved) {
    WriteFileText(staging / "7", "partial");
    fs::create_directories(game / "Upgrade" / "Staging-3-4");
    WriteFileText(game / "Upgrade" / "UpData.zip", "package");
    WriteFileText(game / "Upgrade" / "Journal.txt.new", "Brightlea upd");
    EXPECT_EQ(RecoverInterruptedUpdate(game), "");
    EXPECT_EQ(TreeSnapshot(game / "Upgrade").size(), 1u);
    EXPECT_EQ(ReadFileText(game / "Upgrade" / "UpData.zip"), "package");
}

TEST_F(RecoveryTest, DamagedJournalIsReportedAndLeftAlone) {
    Interrupted("state applying");
    WriteFileText(game / kJournalPath, "Brightlea update journal\nstate appl");
    std::map<std::string, std::string> before = TreeSnapshot(game);
    std::string problem = RecoverInterruptedUpdate(game);
    EXPECT_NE(problem.find("damaged"), std::string::npos);
    EXPECT_EQ(TreeSnapshot(game), before);
}

}  // namespace
}  // namespace updater
