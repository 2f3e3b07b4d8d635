#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "package_maker.h"
#include "platform/zip_entry_name.h"
#include "updater/package_transaction.h"

namespace updater {
namespace {

namespace fs = std::filesystem;
using platform::CheckEntryName;
using platform::EntryKind;
using platform::EntryPath;
using testing_support::MakeDeflatedZip;
using testing_support::MakeStoredZip;
using testing_support::PackageEntry;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::TreeSnapshot;
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
        {"Caf\xE9 \xB0.txt", EntryKind::File, "Caf\xE9 \xB0.txt"},
    };
    for (const Case& c : cases) {
        EntryPath checked = CheckEntryName(c.name);
        EXPECT_EQ(checked.kind, c.kind) << c.name;
        EXPECT_EQ(checked.path, c.path) << c.name;
    }
}

TEST(EntryName, NamesLeavingTheFolderOrHoldingControlCharactersAreRefused) {
    for (const char* name : {"../Brightlea", "Info/../../x", "..\\x", "Info\\..\\..\\x", "/etc/passwd", "\\x",
                             "C:\\Windows\\x", "c:x", "..", "a/../", "a/.. /b", "a/ ../b", "", ".", "a/.",
                             "a\nb", "Info/\x1b[31mred", "tab\there", "del\x7f"}) {
        EXPECT_EQ(CheckEntryName(name).kind, EntryKind::Refused) << name;
    }
    EXPECT_EQ(CheckEntryName(std::string_view("a\0b", 3)).kind, EntryKind::Refused);
}

// A small installation with the lobby program; every test compares it byte for byte.
class InstallTest : public ::testing::Test {
  protected:
    ScratchFolder scratch;
    fs::path game = scratch.Path() / "game";
    fs::path archive = scratch.Path() / "UpData.zip";
    std::vector<int> progress;
    platform::UnpackLimits limits;

    void SetUp() override {
        fs::create_directories(game / "Info");
        WriteFileText(game / "Version.ini", "1.00\n");
        WriteFileText(game / "Info" / "Keep.ini", "old");
        WriteFileText(game / "Ravelin", "#!/bin/sh\n");
        fs::permissions(game / "Ravelin", fs::perms::owner_all);
        game = fs::canonical(game);
    }
    InstallResult Install(const std::string& zipBytes, const InstallCallbacks& callbacks = {}) {
        WriteFileText(archive, zipBytes);
        InstallCallbacks withProgress = callbacks;
        if (!withProgress.progress) {
            withProgress.progress = [this](int percent) { progress.push_back(percent); };
        }
        return InstallPackage(game, archive.string(), platform::CodePage::Western1252, limits, withProgress);
    }
    // The installation, and whether the work folder is empty again.
    std::map<std::string, std::string> Snapshot() { return TreeSnapshot(game, {"Upgrade"}); }
    bool WorkFolderEmpty() { return !fs::exists(game / "Upgrade") || fs::is_empty(game / "Upgrade"); }
};

TEST_F(InstallTest, DeflatedPackageOverwritesAndAddsFiles) {
    std::string big(200000, 'x');
    uint32_t noise = 1;
    for (char& c : big) {
        noise = noise * 1103515245u + 12345u;
        c = static_cast<char>('a' + (noise >> 16) % 26);
    }
    InstallResult result = Install(MakeDeflatedZip(
        {{"Version.ini", "1.00\n1.01\n"}, {"Info/Keep.ini", "new"}, {"Map/Course1/Hole1.fnx", big}}));
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.00\n1.01\n");
    EXPECT_EQ(ReadFileText(game / "Info" / "Keep.ini"), "new");
    EXPECT_EQ(ReadFileText(game / "Map" / "Course1" / "Hole1.fnx"), big);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_TRUE(WorkFolderEmpty());
}

// Every package below starts with good entries (a new version, a changed file, a new folder), so a
// partly applied package would show.
TEST_F(InstallTest, RefusedPackagesChangeNothingAtAll) {
    const std::vector<PackageEntry> good = {
        {"Version.ini", "1.01\n"}, {"Info/Keep.ini", "new"}, {"Added/Deeper/new.txt", "n"}};
    auto with = [&](std::vector<PackageEntry> bad) {
        std::vector<PackageEntry> entries = good;
        entries.insert(entries.end(), bad.begin(), bad.end());
        return MakeStoredZip(entries);
    };
    std::string whole = MakeStoredZip(good);
    const std::pair<const char*, std::string> packages[] = {
        {"zip-slip", with({{"..\\..\\escaped.txt", "x"}})},
        {"absolute", with({{"/tmp/escaped.txt", "x"}})},
        {"truncated", whole.substr(0, whole.size() - 30)},
        {"cut in the data", whole.substr(0, 40)},
        {"error page", "<html><body>Not found</body></html>"},
        {"empty", ""},
        {"damaged last entry", with({{"Sound/x.wav", "wav", true}})},
        {"file where a folder is", with({{"Info", "x"}})},
        {"folder where a file is", with({{"Version.ini/x", "x"}})},
        {"folder entry where a file is", with({{"Ravelin/", ""}})},
        {"link entry, then a file under it",
         with({{"Data", "Info", false, testing_support::kUnixLink}, {"Data/x.txt", "x"}})},
        {"link entry", with({{"Sound", "/etc", false, testing_support::kUnixLink}})},
        {"file and folder of one name", with({{"Added/Deeper", "x"}})},
        {"file and folder of one name, other case", with({{"ADDED/deeper", "x"}})},
        {"control character", with({{"Info/\x1b[2Jclear.txt", "x"}})},
        {"line feed", with({{"Info/two\nlines.txt", "x"}})},
        {"NUL in a name", with({{std::string("Data.txt\0junk", 13), "x"}})},
        {"NUL in a folder's name", with({{std::string("Info\0/x.txt", 10), "x"}})},
        {"byte no character of the code page", with({{"Info/\x81.txt", "x"}})},
        {"broken UTF-8", with({{"Info/\xC3(.txt", "x", false, 0, true}})},
        {"UTF-8 beyond the code page", with({{"Info/\xE4\xB8\xAD.txt", "x", false, 0, true}})},
        {"the updater's work folder", with({{"upgrade/Journal.txt", "x"}})},
    };
    std::map<std::string, std::string> before = Snapshot();
    for (const auto& [what, bytes] : packages) {
        InstallResult result = Install(bytes);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_FALSE(result.failure.empty()) << what;
        EXPECT_EQ(Snapshot(), before) << what;
        EXPECT_TRUE(WorkFolderEmpty()) << what;
    }
    EXPECT_FALSE(fs::exists(scratch.Path() / "escaped.txt"));
}

// With the updater's settings in place, a package may neither put a folder where one of them
// belongs (in any language, existing or not) nor leave them unreadable.
TEST_F(InstallTest, PackagesThatWouldBreakTheUpdatersSettingsAreRefused) {
    const std::string messages = "00=h\n01=/p/\n02=a\n03=b\n04=c\n05=d\n06=e\n07=f\n";
    fs::create_directories(game / "Info" / "ENG");
    WriteFileText(game / "Option.ini", "LANGUAGE=ENG\n");
    WriteFileText(game / "Info" / "ENG" / "ATString.ini", messages);
    const std::vector<PackageEntry> good = {{"Version.ini", "1.01\n"}, {"Added/new.txt", "n"}};
    auto with = [&](std::vector<PackageEntry> bad) {
        std::vector<PackageEntry> entries = good;
        entries.insert(entries.end(), bad.begin(), bad.end());
        return MakeStoredZip(entries);
    };
    const std::pair<const char*, std::string> packages[] = {
        {"another language's messages as a folder", with({{"Info/KOR/ATString.ini/x", "x"}})},
        {"a folder entry, other case", with({{"info/JPN/atstring.INI/", ""}})},
        {"Option.ini as a folder", with({{"OPTION.INI/", ""}})},
        {"messages too short", with({{"Info/ENG/ATString.ini", "00=h\n05=x\n"}})},
        {"a language without messages", with({{"Option.ini", "LANGUAGE=KOR\n"}})},
        {"no language", with({{"Option.ini", "D3D=1\n"}})},
        {"no version", with({{"Version.ini", "\n"}})},
        {"a garbled version", with({{"Version.ini", "1.0\x1b[2J\n"}})},
    };
    std::map<std::string, std::string> before = Snapshot();
    for (const auto& [what, bytes] : packages) {
        InstallResult result = Install(bytes);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_EQ(Snapshot(), before) << what;
        EXPECT_TRUE(WorkFolderEmpty()) << what;
    }
    InstallResult renewed = Install(with({{"Info/ENG/ATString.ini", messages + "08=g\n"}}));
    EXPECT_TRUE(renewed.ok) << renewed.failure;
}

TEST_F(InstallTest, RefusedNamesArePrintable) {
    InstallResult result = Install(MakeStoredZip({{"Info/\x1b[31mred\x07.txt", "x"}}));
    ASSERT_FALSE(result.ok);
    EXPECT_EQ(result.failure.find('\x1b'), std::string::npos) << result.failure;
    EXPECT_EQ(result.failure.find('\x07'), std::string::npos);
    EXPECT_NE(result.failure.find("Info/\\x1b[31mred\\x07.txt"), std::string::npos) << result.failure;
}

TEST_F(InstallTest, TemporaryNamesNeverMeetRealFiles) {
    WriteFileText(game / "Info" / "Keep.ini.unpack-1", "a real file");
    WriteFileText(game / "Version.ini.unpack-0", "another");
    InstallResult result = Install(MakeStoredZip({{"Version.ini", "1.01\n"},
                                                  {"Info/Keep.ini", "new"},
                                                  {"Notes.txt.unpack-3", "A"},
                                                  {"Notes.txt", "B"}}));
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(ReadFileText(game / "Info" / "Keep.ini.unpack-1"), "a real file");
    EXPECT_EQ(ReadFileText(game / "Version.ini.unpack-0"), "another");
    EXPECT_EQ(ReadFileText(game / "Notes.txt.unpack-3"), "A");
    EXPECT_EQ(ReadFileText(game / "Notes.txt"), "B");
}

TEST_F(InstallTest, EntryWritingMoreThanItDeclaresIsStoppedAtOnce) {
    std::string bomb = MakeDeflatedZip({{"Version.ini", "1.01\n"}, {"Big.bin", std::string(4 << 20, '\0')}});
    testing_support::SetDeclaredSize(bomb, "Big.bin", 1000);
    int blocks = 0;
    std::map<std::string, std::string> before = Snapshot();
    InstallResult result = Install(bomb, {nullptr, [&] { return ++blocks > 0; }});
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.failure.find("more than the 1000 bytes it declares"), std::string::npos)
        << result.failure;
    EXPECT_LT(blocks, 10);  // 4 MiB would be 64 blocks of 64 KiB
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(WorkFolderEmpty());
}

TEST_F(InstallTest, PackagesBeyondTheLimitsAreRefusedBeforeWriting) {
    std::map<std::string, std::string> before = Snapshot();
    // Highly compressible: 8 MiB of zeros make a package of a few KiB, far beyond 200 times.
    InstallResult bomb = Install(MakeDeflatedZip({{"Zeros.bin", std::string(8 << 20, '\0')}}));
    EXPECT_NE(bomb.failure.find("times its size"), std::string::npos) << bomb.failure;

    std::string honest =
        MakeStoredZip({{"A.bin", std::string(3000, 'a')}, {"B.bin", std::string(3000, 'b')}});
    limits.maxTotalBytes = 5000;
    InstallResult tooMuch = Install(honest);
    EXPECT_NE(tooMuch.failure.find("more than 5000 bytes"), std::string::npos) << tooMuch.failure;

    limits = {};
    limits.spareDiskBytes = uint64_t{1} << 60;
    InstallResult noRoom = Install(honest);
    EXPECT_NE(noRoom.failure.find("not enough free disk space"), std::string::npos) << noRoom.failure;
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(WorkFolderEmpty());
}

TEST_F(InstallTest, ProgramsAreExecutableAndOtherFilesOrdinary) {
    fs::path made = scratch.Path() / "made";
    fs::create_directories(made);
    for (const char* name : {"Ravelin", "Mendler", "Brightlea", "Notes.txt"}) {
        WriteFileText(made / name, std::string("#!/bin/sh\n# ") + name);
    }
    fs::permissions(made / "Notes.txt", fs::perms::all);
    std::string command = "cd '" + made.string() + "' && zip -q '" + archive.string() + "' *";
    ASSERT_EQ(std::system(command.c_str()), 0);
    InstallResult result =
        InstallPackage(game, archive.string(), platform::CodePage::Western1252, limits, {});
    ASSERT_TRUE(result.ok) << result.failure;
    const fs::perms program = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec;
    for (const char* name : {"Ravelin", "Mendler", "Brightlea"}) {
        EXPECT_EQ(fs::status(game / name).permissions(), program) << name;
    }
    EXPECT_EQ(fs::status(game / "Notes.txt").permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                                fs::perms::group_read |
                                                                fs::perms::others_read);
}

TEST_F(InstallTest, CaseFollowsTheInstallationAndThePackagesFirstSpelling) {
    InstallResult result = Install(MakeStoredZip({{"Sky\\", ""},
                                                  {"SKY\\Day\\Sky1.fni", "sky"},
                                                  {"sky/day/Sky2.fni", "sky2"},
                                                  {"INFO\\keep.INI", "new"},
                                                  {"Readme.TXT", "first"},
                                                  {"README.txt", "second"},
                                                  {"version.ini", "1.01\n"}}));
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(ReadFileText(game / "Sky" / "Day" / "Sky1.fni"), "sky");
    EXPECT_EQ(ReadFileText(game / "Sky" / "Day" / "Sky2.fni"), "sky2");
    EXPECT_EQ(ReadFileText(game / "Info" / "Keep.ini"), "new");
    EXPECT_EQ(ReadFileText(game / "Version.ini"), "1.01\n");
    EXPECT_EQ(ReadFileText(game / "Readme.TXT"), "second");
    for (const char* other : {"SKY", "sky", "INFO", "version.ini", "README.txt"}) {
        EXPECT_FALSE(fs::exists(game / other)) << other;
    }
}

// Archives of very many entries give the directory's place in zip64 end records, which the name
// reader follows as the zip library does.
TEST_F(InstallTest, PackageWithZip64EndRecordsIsApplied) {
    InstallResult result =
        Install(MakeStoredZip({{"Version.ini", "1.01\n"}, {"Map/Hole1.fnx", "hole"}}, true));
    ASSERT_TRUE(result.ok) << result.failure;
    EXPECT_EQ(ReadFileText(game / "Map" / "Hole1.fnx"), "hole");
}

TEST_F(InstallTest, NamesMarkedUtf8AreStoredInTheCodePage) {
    ASSERT_TRUE(Install(MakeStoredZip({{"Info/Caf\xC3\xA9.txt", "x", false, 0, true}})).ok);
    EXPECT_EQ(ReadFileText(game / "Info" / "Caf\xE9.txt"), "x");
}

// Stops the transaction at every point where it looks for a stop request, in the unpacking and
// between the moves: the installation is the old one after each, and the new one when no stop came.
TEST_F(InstallTest, StopAtAnyPointLeavesTheOldInstallation) {
    std::vector<PackageEntry> entries = {{"Version.ini", "1.01\n"}, {"Info/Keep.ini", "new"}};
    for (int i = 0; i < 6; ++i) {
        entries.push_back(
            {"Added/F" + std::to_string(i) + ".txt", std::string(10000, static_cast<char>('a' + i))});
    }
    std::string package = MakeStoredZip(entries);
    std::map<std::string, std::string> before = Snapshot();
    for (int stopAt = 1;; ++stopAt) {
        int asked = 0;
        InstallResult result = Install(package, {nullptr, [&] { return ++asked < stopAt; }});
        if (result.ok) {
            EXPECT_GT(stopAt, 10);
            EXPECT_EQ(ReadFileText(game / "Added" / "F5.txt"), std::string(10000, 'f'));
            break;
        }
        EXPECT_TRUE(result.stopped) << stopAt << ": " << result.failure;
        ASSERT_EQ(Snapshot(), before) << "stopped at " << stopAt;
        EXPECT_TRUE(WorkFolderEmpty());
    }
}

TEST_F(InstallTest, FolderLinkedOutsideIsRefused) {
    fs::create_directories(scratch.Path() / "elsewhere");
    fs::create_directory_symlink(scratch.Path() / "elsewhere", game / "Linked");
    InstallResult result = Install(MakeStoredZip({{"Linked/evil.txt", "x"}}));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(fs::is_empty(scratch.Path() / "elsewhere"));
}

}  // namespace
}  // namespace updater
