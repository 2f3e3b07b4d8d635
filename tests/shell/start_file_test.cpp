#include <gtest/gtest.h>

#include <string>

#include "game/shell/launch/launch_files.h"
#include "game/shell/launch/start_tokens.h"

namespace {

using shell::MatchConfig;
using shell::PlayerInfo;
using shell::TokenizeStartLine;

std::span<const uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST(StartTokens, SplitsOnBlanksAndControlCharactersAndKeepsQuotedBlanks) {
    shell::StartTokens t = TokenizeStartLine("  PLAYERID\t2 \"Big Hitter\"\r\n");
    ASSERT_EQ(t.count, 3);
    EXPECT_STREQ(t.token[0], "PLAYERID");
    EXPECT_STREQ(t.token[1], "2");
    EXPECT_STREQ(t.token[2], "Big Hitter");

    t = TokenizeStartLine(
        "a\x01"
        "b\x1f"
        "c \xB0\xA1\xB3\xAA");  // bytes of 128 and above are ordinary
    ASSERT_EQ(t.count, 4);
    EXPECT_STREQ(t.token[3], "\xB0\xA1\xB3\xAA");

    t = TokenizeStartLine("ab\"c d\"e");  // a quote inside a word continues it; the closing quote ends it
    ASSERT_EQ(t.count, 2);
    EXPECT_STREQ(t.token[0], "abc d");
    EXPECT_STREQ(t.token[1], "e");

    t = TokenizeStartLine("PLAYERID 0 \"open to the end\n");
    ASSERT_EQ(t.count, 3);
    EXPECT_STREQ(t.token[2], "open to the end");

    EXPECT_EQ(TokenizeStartLine(" \t\r\n").count, 0);
}

TEST(StartTokens, KeepsFiveTokensOfSixtyThreeCharacters) {
    shell::StartTokens t = TokenizeStartLine("one two three four five six seven");
    EXPECT_EQ(t.count, 5);
    EXPECT_STREQ(t.token[4], "five");
    std::string longWord(100, 'x');
    t = TokenizeStartLine((longWord + " \"" + longWord + "\" y").c_str());
    ASSERT_EQ(t.count, 3);
    EXPECT_EQ(std::string(t.token[0]), longWord.substr(0, 63));
    EXPECT_EQ(std::string(t.token[1]), longWord.substr(0, 63));
    EXPECT_STREQ(t.token[2], "y");
}

TEST(StartFile, FillsTheMatchAndThePlayers) {
    std::string file =
        "GAMENAME \"Sunday round\"\r\n"
        "CLUBCODE 6\r\nCLUBNAME Lakeside\r\nSTARTHOLE 1\r\nENDHOLE 3\r\n"
        "GAMELEVEL 1\r\nGAMEMODE 2\r\nTEAMPLAY 1\r\nOPTNEAR 1\r\nOPTLONGIST 1\r\nOPTGIVE 2\r\n"
        "BETTING 10\r\nFREE 1\r\nOBSERVER 1\r\nOBCHAT 0\r\nMAXPLAYERS 2\r\nMYNO 1\r\n"
        "PLAYERID 0 \"Ann Lee\"\r\nPLAYERID 1 bob\r\nPLAYERLEVEL 1 300\r\nPLAYERCOLOR 1 2\r\n"
        "PLAYERTYPE 1 7\r\nPLAYERSEX 0 0\r\nPLAYERSEX 1 1\r\nPLAYERBALLS 0 -25\r\n"
        "MYOBSERVER 0\r\nOBSERVERID watcher\r\nUNKNOWN 1\r\nplayerid 0 lower\r\n"
        "CLUBCODE 7 extra tokens are ignored here\r\n";
    MatchConfig m;
    PlayerInfo p[shell::kPlayerSlots];
    shell::ParseStartFile(Bytes(file), m, p);
    EXPECT_STREQ(m.gameName, "Sunday round");
    EXPECT_EQ(m.courseCode, 7);  // the later line wins
    EXPECT_STREQ(m.courseName, "Lakeside");
    EXPECT_EQ(m.startHole, 1);
    EXPECT_EQ(m.endHole, 3);
    EXPECT_EQ(m.gameMode, 2);
    EXPECT_EQ(m.teamPlay, 1);
    EXPECT_EQ(m.optLongest, 1);
    EXPECT_EQ(m.optGive, 0);  // only 1 sets a flag
    EXPECT_EQ(m.betting, 10);
    EXPECT_EQ(m.freeGame, 1);
    EXPECT_EQ(m.observerChat, 0);
    EXPECT_EQ(m.localSlot, 1);
    EXPECT_STREQ(m.observerName, "watcher");
    EXPECT_EQ(m.waitingForSnapshot, 1);  // no OBSGAMEJOIN line keeps it set
    EXPECT_STREQ(p[0].name, "Ann Lee");
    EXPECT_STREQ(p[1].name, "bob");
    EXPECT_EQ(p[1].level, 300 & 0xFF);
    EXPECT_EQ(p[1].colour, 2);
    EXPECT_EQ(p[1].characterType, 7);
    EXPECT_EQ(p[0].sex, 1);  // the file's 0 is stored as 1
    EXPECT_EQ(p[1].sex, 0);
    EXPECT_EQ(p[0].balls, -25);
}

TEST(StartFile, BadValuesAreCutOrIgnored) {
    std::string file =
        "GAMENAME " + std::string(60, 'g') + "\nOBSERVERID " + std::string(40, 'o') + "\nPLAYERID 0 " +
        std::string(30, 'n') +
        "\nPLAYERID 4 far\nPLAYERID -1 before\nPLAYERBALLS 9 5\nPLAYERTYPE 0 8\nPLAYERTYPE 0 -1\n"
        "BETTING 99999999999999\nMAXPLAYERS four\nOBSGAMEJOIN 0\nPLAYERLEVEL\nGAMEMODE\n" +
        std::string(600, 'z') + "\nSTARTHOLE 2";
    MatchConfig m;
    PlayerInfo p[shell::kPlayerSlots];
    shell::ParseStartFile(Bytes(file), m, p);
    EXPECT_EQ(std::string(m.gameName), std::string(43, 'g'));
    EXPECT_EQ(std::string(m.observerName), std::string(15, 'o'));
    EXPECT_EQ(std::string(p[0].name), std::string(12, 'n'));
    for (const PlayerInfo& player : p) {
        EXPECT_EQ(player.balls, 0);
        EXPECT_EQ(player.characterType, 0);
    }
    EXPECT_EQ(p[1].name[0], '\0');
    EXPECT_EQ(m.betting, 2147483647);
    EXPECT_EQ(m.maxPlayers, 0);
    EXPECT_EQ(m.waitingForSnapshot, 0);
    EXPECT_EQ(m.startHole, 2);  // a line without an end is still read
}

TEST(OptionFile, ReadsLanguageAndHardware3D) {
    shell::OptionSettings o;
    shell::ParseOptionFile(Bytes("LANGUAGE KOR\r\nOTHER 5\r\n"), o);
    EXPECT_STREQ(o.language, "KOR");
    EXPECT_EQ(o.hardware3D, 1);  // on unless the file says otherwise
    shell::ParseOptionFile(Bytes("ACC3DOPT 0\nLANGUAGE ABCDEFGHIJKLMNOP\nLANGUAGE\n"), o);
    EXPECT_EQ(o.hardware3D, 0);
    EXPECT_STREQ(o.language, "");  // a key without value reads an empty value
    shell::ParseOptionFile(Bytes("LANGUAGE ABCDEFGHIJKLMNOP"), o);
    EXPECT_STREQ(o.language, "ABCDEFGHIJK");
    shell::ParseOptionFile(Bytes("LANGUAGE kor\r\n"), o);
    EXPECT_STREQ(o.language, "KOR");  // the same language, and the same folders, in any case
    shell::ParseOptionFile(Bytes("LANGUAGE Kor\r\n"), o);
    EXPECT_STREQ(o.language, "KOR");
}

}  // namespace
