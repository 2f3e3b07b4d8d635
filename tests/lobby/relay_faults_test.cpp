// What hostile or unlucky clients did to the relay before: floods that a drained read forgave,
// a lobby stall taken for a flood, slots outside the match, an observer's scores taken for the
// result, observers kept on after the match, names that came out of the JSON lines replaced.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lobby/farewell_text.h"
#include "lobby/flow_control.h"
#include "lobby/log_text.h"
#include "tests/lobby/relay_rig.h"

namespace {

using fixtures::RelayRig;

std::vector<uint8_t> ChatOfWrongLength(const char* sender, size_t bytes) {
    std::vector<uint8_t> payload(bytes, 'x');  // no terminating NUL: refused, but read and counted
    payload[0] = 0;
    payload[1] = payload[2] = payload[3] = 0;
    return shell::BuildLobbyPacket(sender, "", payload.data(), static_cast<uint32_t>(payload.size()));
}

TEST(RelayFlood, LargeRefusedPacketsAreCountedByBytesEvenWhenEachReadDrainsTheSocket) {
    RelayRig rig({"Ann", "Cy"});
    const auto big = ChatOfWrongLength("Cy", 2000);
    int rounds = 0;
    for (; rounds < 600 && !rig.relay.clients[1].gone; ++rounds) {
        // 150 packets of 2 KB a second, sent in small bites: each read may find the socket empty.
        for (int i = 0; i < 15; ++i) {
            rig.links[1].socket.TrySend(big.data(), big.size());
        }
        rig.relay.nowMs += 100;
        rig.Run();
        rig.links[0].gameQueue.clear();
    }
    EXPECT_TRUE(rig.relay.clients[1].gone) << "still in after " << rounds << " rounds";
    EXPECT_LT(rig.relay.nowMs, 30000u);
    EXPECT_FALSE(rig.relay.clients[0].gone);
    EXPECT_NE(rig.events.str().find(R"("reason":"flooding")"), std::string::npos);
}

TEST(RelayFlood, TheLobbysOwnStallIsNotTheClientsFlood) {
    RelayRig rig({"Ann", "Bob"});
    for (const uint64_t stallMs : {7000u, 30000u, 120000u}) {
        // While the lobby does not run, Bob goes on at a brisk but normal pace (20 a second).
        for (uint64_t t = 0; t < stallMs; t += 50) {
            shell::SendWind(rig.links[1], 0.0f, 1.0f);
            shell::FlushLobbyOutbox(rig.links[1]);
        }
        rig.relay.nowMs += stallMs;
        for (int i = 0; i < 200; ++i) {  // then 10 s of ordinary rounds with the backlog
            shell::SendWind(rig.links[1], 0.0f, 1.0f);
            rig.relay.nowMs += 50;
            lobby::ReadClient(rig.relay, rig.relay.clients[1], 64, rig.reports);
            lobby::FlushOutboxes(rig.relay);
            for (auto& link : rig.links) {
                shell::PumpLobby(link);
                link.gameQueue.clear();
            }
        }
        EXPECT_FALSE(rig.relay.clients[1].gone) << "after a stall of " << stallMs << " ms";
    }
    EXPECT_EQ(rig.events.str(), "");
}

TEST(RelayFaults, MessagesNamingASlotOutsideTheMatchAreRefused) {
    RelayRig rig({"Ann", "Bob"});
    shell::SendShooterReady(rig.links[1], 7);
    shell::SendNextHole(rig.links[0], 7);
    shell::SendTimeOut(rig.links[1], 2);
    physics::ShotInput shot;
    shot.player = 5;
    shell::SendTurnStart(rig.links[0], shot);
    shell::SendShot(rig.links[1], shot);
    shot.player = 1;
    shell::SendShot(rig.links[1], shot);  // Bob's own slot: fine
    shell::SendShooterReady(rig.links[0], 0);
    rig.Run();
    EXPECT_EQ(rig.relay.refused[static_cast<size_t>(lobby::PacketFault::kSlot)], 5u);
    EXPECT_EQ(rig.GameTypes(0), (std::vector<uint32_t>{shell::kMsgShooterReady, shell::kMsgShot}));
    EXPECT_NE(rig.log.str().find("a slot outside the match's seats"), std::string::npos);
}

TEST(RelayFaults, OnlyPlayersScoresMakeTheResultLineAndNamesComeFromTheCodePage) {
    RelayRig rig({"\xFF\xFE", "Bob"}, {"Watcher"});
    const shell::FinalScore forged[4] = {{"\xFF\xFE", 1, 92}, {"Bob", 1, 92}, {}, {}};
    const shell::FinalScore real[4] = {{"\xFF\xFE", 1, 71}, {"Bob", 1, 75}, {}, {}};
    shell::SendFinalScores(rig.links[2], 2, forged);  // the observer's come first
    shell::SendFinalScores(rig.links[1], 2, real);
    rig.Run();
    EXPECT_NE(rig.log.str().find("final scores (total strokes): \xC3\xBF\xC3\xBE 71, Bob 75"),
              std::string::npos)
        << rig.log.str();
    EXPECT_EQ(rig.log.str().find("92"), std::string::npos);
    // Both are reported, with the name in UTF-8 (CP1252's 0xFF and 0xFE), not replaced.
    EXPECT_NE(rig.reports.str().find(R"({"name":"ÿþ","present":1,"strokes":71})"), std::string::npos)
        << rig.reports.str();
    EXPECT_EQ(rig.reports.str().find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_TRUE(rig.relay.clients[1].sentFinalScores);
    EXPECT_FALSE(rig.relay.clients[2].sentFinalScores);
}

TEST(RelayFaults, ObserversAreToldTheMatchIsOverOnceEveryPlayerHasLeft) {
    RelayRig rig({"Ann", "Bob"}, {"Watcher"});
    lobby::ClientLeft(rig.relay, rig.relay.clients[0]);
    lobby::EndObserversAfterPlayers(rig.relay);
    EXPECT_FALSE(rig.relay.clients[2].gone);  // Bob still plays
    lobby::ClientLeft(rig.relay, rig.relay.clients[1]);
    lobby::EndObserversAfterPlayers(rig.relay);
    ASSERT_TRUE(rig.relay.clients[2].gone);
    lobby::FlushOutboxes(rig.relay);
    rig.Run();
    ASSERT_FALSE(rig.links[2].gameQueue.empty());
    EXPECT_EQ(rig.links[2].gameQueue.back().type, shell::kMsgCloseMatch);
    EXPECT_FALSE(rig.relay.clients[2].socket.IsOpen());  // closed once the close was written
}

TEST(LogText, PeerTextCannotReachTheTerminalRaw) {
    EXPECT_EQ(lobby::LogSafe("Ann"), "Ann");
    EXPECT_EQ(lobby::LogSafe("\x1b[2J\x1b]0;pwned\x07"), "\\x1b[2J\\x1b]0;pwned\\x07");
    EXPECT_EQ(lobby::LogSafe("a\nb\rc\x7f"), "a\\x0ab\\x0dc\\x7f");
    EXPECT_EQ(lobby::LogSafe("\xC2\x9B"
                             "31m"),
              "\\xc2\\x9b31m");  // C1 control in UTF-8
    EXPECT_EQ(lobby::LogSafe("\x9B"
                             "31m"),
              "\\x9b31m");                                                        // and as a single byte
    EXPECT_EQ(lobby::LogSafe("\xED\x95\x9C \xC3\xBF"), "\xED\x95\x9C \xC3\xBF");  // printable UTF-8 kept
    EXPECT_EQ(lobby::LogSafe("\xE0\x80\x80\xED\xA0\x80\xC3"), "\\xe0\\x80\\x80\\xed\\xa0\\x80\\xc3");
}

TEST(Farewell, AJoinerIsToldInHisLanguageWhyHisGameEnds) {
    EXPECT_EQ(lobby::LinkEndedText("ENG", "the peer: the host has ended"),
              "The host has ended the match. Your game ends. (the peer: the host has ended)");
    EXPECT_EQ(lobby::LinkEndedText("ENG", "silent for 10 s\x1b"),
              "The connection to the host was lost. Your game ends. (silent for 10 s\\x1b)");
    // Korean in CP949 (starts with the two bytes of the first syllable), Japanese in CP932.
    EXPECT_EQ(lobby::LinkEndedText("KOR", "lost").substr(0, 2), "\xC8\xA3");
    EXPECT_EQ(lobby::LinkEndedText("JPN", "lost").substr(0, 2), "\x83\x7A");
    const auto packets = lobby::LinkEndedPackets("ENG", "lost");
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0][44], shell::kMsgSystemText);
    EXPECT_EQ(packets[1][44], shell::kMsgCloseMatch);
}

}  // namespace
