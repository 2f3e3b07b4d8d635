#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "package_maker.h"
#include "platform/zip_entry_name.h"
#include "platform/zip_extract.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing_support::MakeDeflatedZip;
using testing_support::MakeStoredZip;
using testing_support::PackageEntry;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::WriteFileText;

TEST(EntryName, BackslashesSeparateFoldersAndHarmlessPartsAreDropped) {
    struct Case {
        const char* name;
        EntryKind kind;
        const char* path;
    };
    const Case cases[] = {
        {"Info\\ENG\\ATString.ini", EntryKind::File, "Info/ENG/ATString.ini"},
        {"Map/Course1/", EntryKind::Folder, "Map/Course1"},
        {"Sound\\", EntryKind::Folder, "Sound"},
        {"./Image//a.fni", EntryKind::File, "Image/a.fni"},
        {"./", EntryKind::Folder, ""},
        {"a..b/...c", EntryKind::File, "a..b/...c"},
    };
    for (const Case& c : cases) {
        EntryPath checked = CheckEntryName(c.name);
        EXPECT_EQ(checked.kind, c.kind) << c.name;
        EXPECT_EQ(checked.path, c.path) << c.name;
    }
}

TEST(EntryName, NamesLeavingTheFolderAreRefused) {
    for (const char* name : {"../Brightlea", "Info/../../x", "..\\x", "Info\\..\\..\\x", "/etc/passwd", "\\x",
                             "C:\\Windows\\x", "c:x", "..", "a/../", "a/.. /b", "a/ ../b", "", ".", "a/."}) {
        EXPECT_EQ(CheckEntryName(name).kind, EntryKind::Refused) << name;
    }
    EXPECT_EQ(CheckEntryName(std::string_view("a\0b", 3)).kind, EntryKind::Refused);
}

class ExtractTest : public ::testing::Test {
  protected:
    ScratchFolder scratch;
    fs::path game = scratch.Path() / "game";
    fs::path archive = scratch.Path() / "UpData.zip";
    std::vector<int> progress;

    void SetUp() override {
        fs::create_directories(game / "Info");
        WriteFileText(game / "Version.ini", "1.00\n");
        WriteFileText(game / "Info" / "Keep.ini", "old");
    }
    ZipExtractResult Extract(const std::string& zipBytes) {
        WriteFileText(archive, zipBytes);
        return ExtractZip(archive.string(), game.string(),
                          [this](int percent) { progress.push_back(percent); });
    }
    // The old installation is untouched and no temporary file is left behind.
    void ExpectUnchanged() {
        EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\n");
        EXPECT_EQ(ReadFileText(game / "Info" / "Keep.ini"), "old");
        size_t count = 0;
        for ([[maybe_unused]] auto& item : fs::recursive_directory_iterator(game)) {
            ++count;
        }
        EXPECT_EQ(count, 3u);
    }
};

TEST_F(ExtractTest, DeflatedPackageOverwritesAndAddsFiles) {
    std::string big(200000, 'x');
    for (size_t i = 0; i < big.size(); i += 7) {
        big[i] = static_cast<char>('a' + i % 26);
    }
    ZipExtractResult result = Extract(MakeDeflatedZip(
        {{"Version.ini", "1.00\n1.01\n"}, {"Info/Keep.ini", "new"}, {"Map/Course1/Hole1.fnx", big}}));
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\n1.01\n");
    EXPECT_EQ(ReadFileText(game / "Info" / "Keep.ini"), "new");
    EXPECT_EQ(ReadFileText(game / "Map" / "Course1" / "Hole1.fnx"), big);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST_F(ExtractTest, ProgramsStayExecutable) {
    // A program replaced by a package made on Windows keeps its permissions...
    WriteFileText(game / "Ravelin", "old program");
    fs::permissions(game / "Ravelin", fs::perms::owner_all);
    ASSERT_TRUE(Extract(MakeStoredZip({{"Ravelin", "new program"}})).ok);
    EXPECT_EQ(fs::status(game / "Ravelin").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);

    // ...and one from a package made on Linux gets the recorded ones.
    fs::path made = scratch.Path() / "made";
    fs::create_directories(made);
    WriteFileText(made / "Tool", "#!/bin/sh\n");
    fs::permissions(made / "Tool", fs::perms::owner_all);
    WriteFileText(made / "Notes.txt", "text");
    fs::permissions(made / "Notes.txt", fs::perms::owner_read | fs::perms::owner_write);
    std::string command = "cd '" + made.string() + "' && zip -q '" + archive.string() + "' Tool Notes.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(ExtractZip(archive.string(), game.string(), nullptr).ok);
    EXPECT_EQ(fs::status(game / "Tool").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    EXPECT_EQ(fs::status(game / "Notes.txt").permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(ExtractTest, BackslashNamesMakeFoldersAndCaseFollowsExistingFiles) {
    ZipExtractResult result = Extract(MakeStoredZip({{"Sky\\", ""},
                                                     {"Sky\\Day\\Sky1.fni", "sky"},
                                                     {"INFO\\keep.INI", "new"},
                                                     {"version.ini", "1.01\n"}}));
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(ReadFileText(game / "Sky" / "Day" / "Sky1.fni"), "sky");
    EXPECT_EQ(ReadFileText(game / "Info" / "Keep.ini"), "new");
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.01\n");
    EXPECT_FALSE(fs::exists(game / "INFO"));
    EXPECT_FALSE(fs::exists(game / "version.ini"));
}

TEST_F(ExtractTest, HostileOrBrokenPackagesChangeNothing) {
    std::string good = MakeStoredZip({{"Version.ini", "1.01\n"}, {"Info/Keep.ini", "new"}});
    const std::pair<const char*, std::string> packages[] = {
        {"zip-slip", MakeStoredZip({{"Version.ini", "1.01\n"}, {"..\\..\\escaped.txt", "x"}})},
        {"absolute", MakeStoredZip({{"Version.ini", "1.01\n"}, {"/tmp/escaped.txt", "x"}})},
        {"truncated", good.substr(0, good.size() - 30)},
        {"cut in the data", good.substr(0, 40)},
        {"error page", "<html><body>Not found</body></html>"},
        {"empty", ""},
        {"damaged second entry", MakeStoredZip({{"Version.ini", "1.01\n"}, {"Info/Keep.ini", "new", true}})},
        {"file over a folder", MakeStoredZip({{"Version.ini", "1.01\n"}, {"Info", "x"}})},
    };
    for (const auto& [what, bytes] : packages) {
        ZipExtractResult result = Extract(bytes);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_FALSE(result.failure.empty()) << what;
        ExpectUnchanged();
    }
    EXPECT_FALSE(fs::exists(scratch.Path() / "escaped.txt"));
}

TEST_F(ExtractTest, FolderLinkedOutsideIsRefused) {
    fs::create_directories(scratch.Path() / "elsewhere");
    fs::create_directory_symlink(scratch.Path() / "elsewhere", game / "Linked");
    ZipExtractResult result = Extract(MakeStoredZip({{"Linked/evil.txt", "x"}}));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(fs::is_empty(scratch.Path() / "elsewhere"));
}

}  // namespace
}  // namespace platform
