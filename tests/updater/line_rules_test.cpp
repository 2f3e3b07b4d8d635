#include "updater/line_rules.h"

#include <gtest/gtest.h>

#include "updater/command_line.h"
#include "updater/package_address.h"
#include "updater/progress_text.h"

namespace updater {
namespace {

TEST(OptionFile, LanguageLineIsReadCaseBlindAndTheLastOneWins) {
    EXPECT_EQ(LanguageFromOptionFile("LANGUAGE=ENG\r\n"), "ENG");
    EXPECT_EQ(LanguageFromOptionFile("[Option]\nlanguage=jpn\nD3D=1\n"), "JPN");
    EXPECT_EQ(LanguageFromOptionFile("LANGUAGE=KOR\nLanguage=eng"), "ENG");
    // Characters 10 to 12 whatever the separator; a short line gives what is there.
    EXPECT_EQ(LanguageFromOptionFile("LANGUAGE:KORX\n"), "KOR");
    EXPECT_EQ(LanguageFromOptionFile("LANGUAGE=E\n"), "E");
    EXPECT_EQ(LanguageFromOptionFile("LANGUAG=ENG\nD3D=1\n"), "");
    EXPECT_EQ(LanguageFromOptionFile(""), "");
}

TEST(MessageFile, SpareLinesLeaveEmptyEntries) {
    MessageTable table = ParseMessageTable("00=update.example.net\r\n05=Checking for updates\r\n\r\n");
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0], "update.example.net");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(table[i], "") << i;
    }
    EXPECT_EQ(table[5], "Checking for updates");
}

TEST(MessageFile, TextIsTrimmedAndOddLinesAreHarmless) {
    MessageTable table = ParseMessageTable(
        "00=  host  \n"
        "  \t \n"
        "x1=not a numbered line\n"
        "7\n"
        "07=Caption\n"
        "03=Done\n"  // a smaller index fills its entry without shrinking the table
        "02\n"       // no separator and no text
        "04=\xB0\xA1\xB3\xAA \n");
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table[0], "host");
    EXPECT_EQ(table[2], "");
    EXPECT_EQ(table[3], "Done");
    EXPECT_EQ(table[4], "\xB0\xA1\xB3\xAA");
    EXPECT_EQ(table[7], "Caption");
    EXPECT_EQ(MessageLine(table, 8), "");
    EXPECT_EQ(MessageLine(table, -1), "");
}

TEST(VersionFile, TheLastLineNamesTheVersion) {
    EXPECT_EQ(VersionFromFile("1.00\n1.01"), "1.01");
    EXPECT_EQ(VersionFromFile("1.00\r\n1.01\r\n"), "1.01");
    EXPECT_EQ(VersionFromFile("1.00\n1.01\n\n  \n"), "1.01");
    EXPECT_EQ(VersionFromFile(" 2.3 "), "2.3");
    EXPECT_EQ(VersionFromFile("\n\n"), "");
}

TEST(ProgressText, KilobytesAreWholeNumbers) {
    EXPECT_EQ(DownloadProgressText(2048, 5000), "2 KByte / 4 KByte");
    EXPECT_EQ(DownloadProgressText(1023, 0), "0 KByte / 0 KByte");
    EXPECT_EQ(DownloadProgressText(int64_t{3} << 30, int64_t{4} << 30), "3145728 KByte / 4194304 KByte");
    EXPECT_EQ(UnpackProgressText(37), "37 %");
}

TEST(PackageAddress, PrefixIsAPathOnTheHostOrAFullAddress) {
    auto url = [](std::string_view host, std::string_view prefix, std::string_view version) {
        return PackageUrl(PackageFolderAddress(host, prefix).value_or("(off)"), version);
    };
    EXPECT_EQ(url("update.example.net", "/patch/", "1.01"),
              "http://update.example.net/patch/1.01/UpData.zip");
    EXPECT_EQ(url("127.0.0.1:8080", "patch/", "1.01"), "http://127.0.0.1:8080/patch/1.01/UpData.zip");
    EXPECT_EQ(url("", "https://cdn.example.net/p/", "7"), "https://cdn.example.net/p/7/UpData.zip");
    EXPECT_EQ(SignatureUrl("http://h/p/7/UpData.zip"), "http://h/p/7/UpData.zip.sig");
    // No host and no full address: no server at all, rather than a guess.
    EXPECT_FALSE(PackageFolderAddress("", "/update/"));
    EXPECT_FALSE(PackageFolderAddress("", ""));
}

TEST(CommandLine, ArgumentsFollowTheProgramName) {
    // The closing quote is skipped and the blank after it kept.
    EXPECT_EQ(ArgumentsAfterProgramName("\"C:\\Games\\Brightlea\\MENDLER.EXE\" -a b", "MENDLER.EXE"),
              " -a b");
    EXPECT_EQ(ArgumentsAfterProgramName("c:\\games\\mendler.exe -a b", "MENDLER.EXE"), "-a b");
    EXPECT_EQ(ArgumentsAfterProgramName("Mendler.exe", "MENDLER.EXE"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("Mendler.exe ", "MENDLER.EXE"), "");
    EXPECT_EQ(ArgumentsAfterProgramName("updater -a b", "MENDLER.EXE"), "");
}

}  // namespace
}  // namespace updater
