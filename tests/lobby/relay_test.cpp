#include <gtest/gtest.h>

#include "tests/lobby/relay_rig.h"
#include "tests/shell/lobby_socket_reading.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"
#include "lobby/relay.h"
#include "lobby/report_json.h"

namespace {

using fixtures::RelayRig;
using lobby::RelayClient;

TEST(Relay, BroadcastsReachEveryoneInOneOrderAndNamedPacketsOnlyTheirRecipient) {
    RelayRig rig({"Ann", "Bob"}, {"Watcher"});
    shell::SendShooterReady(rig.links[0], 0);
    shell::SendNextHole(rig.links[1], 1);
    shell::SendSnapshot(rig.links[0], "Watcher", shell::GameSnapshot{});
    shell::SendTimeOut(rig.links[1], 1);
    rig.Run();
    // Packets are taken client by client, so Ann's two come before Bob's two everywhere.
    EXPECT_EQ(rig.GameTypes(0),
              (std::vector<uint32_t>{shell::kMsgShooterReady, shell::kMsgNextHole, shell::kMsgTimeOut}));
    EXPECT_EQ(rig.GameTypes(1), rig.GameTypes(0));
    EXPECT_EQ(rig.GameTypes(2), (std::vector<uint32_t>{shell::kMsgShooterReady, shell::kMsgSnapshot,
                                                       shell::kMsgNextHole, shell::kMsgTimeOut}));
}

TEST(Relay, DropsMalformedAndUnroutablePacketsAndGoesOn) {
    RelayRig rig({"Ann", "Bob"});
    const std::vector<uint8_t> shortPacket(30, 0xFF);
    rig.links[0].socket.Send(shortPacket.data(), shortPacket.size());
    shell::SendSnapshot(rig.links[0], "Nobody", shell::GameSnapshot{});
    shell::SendConcedeVote(rig.links[0]);
    rig.Run();
    EXPECT_EQ(rig.relay.droppedMalformed, 1u);
    EXPECT_EQ(rig.relay.droppedUnroutable, 1u);
    EXPECT_EQ(rig.GameTypes(1), std::vector<uint32_t>{shell::kMsgConcedeVote});
}

TEST(Relay, APlayerLeavingIsAnnouncedOnceToTheOthers) {
    RelayRig rig({"Ann", "Bob", "Cy"}, {"Watcher"});
    lobby::ClientLeft(rig.relay, rig.relay.clients[1]);
    lobby::ClientLeft(rig.relay, rig.relay.clients[1]);
    lobby::ClientLeft(rig.relay, rig.relay.clients[3]);  // observers leave silently
    rig.Run();
    ASSERT_EQ(rig.links[0].gameQueue.size(), 1u);
    EXPECT_EQ(rig.links[0].gameQueue.front().type, shell::kMsgPlayerLeft);
    EXPECT_STREQ(rig.links[0].gameQueue.front().recipient, "Bob");
    EXPECT_EQ(rig.GameTypes(2), rig.GameTypes(0));
    EXPECT_TRUE(rig.links[1].gameQueue.empty());
    EXPECT_EQ(lobby::FirstPlayer(rig.relay)->seat.name, "Ann");
}

TEST(Relay, APlayerWhoSentFinalScoresLeavesWithoutNews) {
    RelayRig rig({"Ann", "Bob"});
    const shell::FinalScore scores[4] = {{"Ann", 1, 72}, {"Bob", 1, 80}, {"Cy", 0, 90}, {}};
    shell::SendFinalScores(rig.links[1], 2, scores);
    shell::SendFinalScores(rig.links[0], 2, scores);
    rig.Run();
    // People reading the log see the scores once, without the slots that are not playing.
    const std::string log = rig.log.str();
    const std::string told = "final scores (total strokes): Ann 72, Bob 80\n";
    EXPECT_NE(log.find(told), std::string::npos) << log;
    EXPECT_EQ(log.find(told), log.rfind(told));
    lobby::ClientLeft(rig.relay, rig.relay.clients[1]);
    rig.Run();
    EXPECT_TRUE(rig.links[0].gameQueue.empty());
    EXPECT_NE(rig.reports.str().find("\"type\":92"), std::string::npos);
}

using fixtures::PacketTypesOn;

TEST(Relay, AClientThatStopsReadingIsRemovedAndToldWhy) {
    RelayRig rig({"Ann", "Bob"});
    const std::string text(250, 'x');
    for (int i = 0; i < 30000 && !rig.relay.clients[1].gone; ++i) {
        shell::SendChat(rig.links[0], text.c_str());
        rig.relay.nowMs += 5;  // 200 lines a second: within Ann's allowance
        rig.Read(0);
        lobby::FlushOutboxes(rig.relay);
        shell::PumpLobby(rig.links[0]);  // Ann keeps reading; Bob never does
    }
    ASSERT_TRUE(rig.relay.clients[1].gone);
    EXPECT_FALSE(rig.relay.clients[0].gone);
    EXPECT_NE(rig.events.str().find(R"("event":"removed","name":"Bob","queued_bytes":)"), std::string::npos);
    EXPECT_NE(rig.events.str().find(R"("reason":"slow reader")"), std::string::npos);
    rig.Run();
    ASSERT_FALSE(rig.links[0].gameQueue.empty());
    EXPECT_EQ(rig.links[0].gameQueue.back().type, shell::kMsgPlayerLeft);

    // Bob wakes up: after what was already in his socket come the reason and the match's end.
    std::vector<uint32_t> bobGot;
    for (int i = 0; i < 1000 && rig.links[1].socket.IsOpen(); ++i) {
        for (uint32_t t : PacketTypesOn(rig.links[1].socket)) {
            bobGot.push_back(t);
        }
        lobby::FlushOutboxes(rig.relay);
    }
    ASSERT_GE(bobGot.size(), 2u);
    EXPECT_EQ(bobGot[bobGot.size() - 2], shell::kMsgSystemText);
    EXPECT_EQ(bobGot.back(), shell::kMsgCloseMatch);
}

TEST(Relay, AFloodingSenderIsSlowedThenRemovedWhileTheOthersKeepUp) {
    RelayRig rig({"Ann", "Bob", "Cy"});
    platform::LobbySocket& flooder = rig.links[2].socket;
    const auto chat =
        shell::BuildLobbyPacket("Cy", "", std::vector<uint8_t>{0, 0, 0, 0, 'z', 0, 0}.data(), 7);
    size_t mostQueued = 0;
    uint64_t held = 0;
    for (int round = 0; round < 400 && !rig.relay.clients[2].gone; ++round) {
        for (int i = 0; i < 200; ++i) {  // 4000 a second, ten times the allowance
            held += flooder.TrySend(chat.data(), chat.size()) == platform::SendResult::kWouldBlock;
        }
        shell::SendWind(rig.links[0], 0.0f, 1.0f);
        rig.relay.nowMs += 50;
        rig.Run();
        for (int i : {0, 1}) {
            rig.links[i].gameQueue.clear();
            mostQueued = std::max(mostQueued, rig.relay.clients[i].outboxBytes);
        }
    }
    ASSERT_TRUE(rig.relay.clients[2].gone);
    EXPECT_GT(held, 0u);  // the flooder's own socket made it wait
    // Its burst lasts about a second; then it is held back until the flood window has seen enough.
    EXPECT_GE(rig.relay.nowMs, lobby::kFloodHeldBuckets * lobby::kFloodBucketMs);
    EXPECT_LT(rig.relay.nowMs, lobby::kFloodHeldBuckets * lobby::kFloodBucketMs + 3000);
    EXPECT_FALSE(rig.relay.clients[0].gone);
    EXPECT_FALSE(rig.relay.clients[1].gone);
    EXPECT_LT(mostQueued, 64u * 1024u);
    const std::string events = rig.events.str();
    EXPECT_NE(events.find(R"("event":"removed","name":"Cy","packets":)"), std::string::npos);
    EXPECT_NE(events.find(R"("reason":"flooding")"), std::string::npos);
    EXPECT_NE(rig.log.str().find("Cy is taken out of the match: flooding"), std::string::npos);
}

TEST(Relay, AnEndedClientsLastPacketsAreReadWhateverItsAllowance) {
    RelayRig rig({"Ann", "Bob"});
    rig.relay.clients[0].allowance.packets = 0;  // used up by what it sent before
    rig.relay.clients[0].allowance.started = true;
    shell::SendHoleReport(rig.links[0], 9, 3);
    shell::SendGameEnd(rig.links[0]);
    rig.links[0].socket.Close();  // the process has ended
    rig.Read(0);
    EXPECT_EQ(rig.reports.str(), "");
    lobby::ReadRemainder(rig.relay, rig.relay.clients[0], rig.reports);
    EXPECT_NE(rig.reports.str().find(R"("hole":9)"), std::string::npos);
    EXPECT_NE(rig.reports.str().find(R"("text":"GameEnd")"), std::string::npos);
}

TEST(Relay, RefusesWhatAClientMayNotSendAndCountsIt) {
    RelayRig rig({"Ann", "Bob"}, {"Watcher"});
    auto send = [&](size_t from, const std::vector<uint8_t>& packet) {
        ASSERT_EQ(rig.links[from].socket.TrySend(packet.data(), packet.size()), platform::SendResult::kSent);
    };
    auto payload = [](uint32_t type, size_t body) {
        std::vector<uint8_t> p(4 + body, 0);
        p[0] = static_cast<uint8_t>(type);
        return p;
    };
    auto packet = [](const char* sender, const std::vector<uint8_t>& p) {
        return shell::BuildLobbyPacket(sender, "", p.data(), static_cast<uint32_t>(p.size()));
    };
    const std::vector<uint8_t> report = payload(shell::kMsgHoleReport, 3);
    send(0, packet("Bob", report));                               // a forged sender
    send(0, packet("Ann\"\n", report));                           // another one
    send(0, packet("Ann", payload(shell::kMsgCloseMatch, 1)));    // the lobby's own types
    send(0, packet("Ann", payload(shell::kMsgPlayerLeft, 1)));    //
    send(0, packet("Ann", payload(shell::kMsgObserverJoin, 1)));  //
    send(0, packet("Ann", payload(shell::kMsgSystemText, 4)));    //
    send(0, packet("Ann", payload(200, 1)));                      //
    send(0, packet("Ann", payload(shell::kMsgHoleReport, 4)));    // one byte too many
    send(0, packet("Ann", payload(shell::kMsgShot, 100)));        // too short for a shot
    send(0, packet("Ann", {0, 0, 0, 0, 'h', 'i', '!'}));          // chat without its end
    std::vector<uint8_t> padded = packet("Ann", report);
    padded.resize(padded.size() + 8);
    send(0, padded);                                                 // longer than it says
    send(2, packet("Watcher", payload(shell::kMsgTurnStart, 103)));  // observers do not play
    send(0, packet("Ann", report));                                  // this one is fine
    send(2, packet("Watcher", {0, 0, 0, 0, 'h', 'i', 0, 0}));        // and so is this one
    rig.Run();
    EXPECT_EQ(rig.relay.relayed, 2u);
    EXPECT_EQ(rig.relay.refused[static_cast<size_t>(lobby::PacketFault::kSender)], 2u);
    EXPECT_EQ(rig.relay.refused[static_cast<size_t>(lobby::PacketFault::kType)], 6u);
    EXPECT_EQ(rig.relay.refused[static_cast<size_t>(lobby::PacketFault::kBody)], 3u);
    EXPECT_EQ(rig.relay.refused[static_cast<size_t>(lobby::PacketFault::kSize)], 1u);
    EXPECT_EQ(rig.relay.clients[0].refused, 11u);
    EXPECT_EQ(rig.reports.str(),
              "{\"from\":\"Ann\",\"hole\":0,\"strokes\":0,\"type\":16}\n"
              "{\"from\":\"Watcher\",\"text\":\"hi\",\"type\":0}\n");
    // The log names the forged sender with its quote and line end escaped.
    EXPECT_NE(rig.log.str().find(R"(sender "Ann\"\n")"), std::string::npos);
    EXPECT_NE(rig.log.str().find("more from Ann are only counted"), std::string::npos);
    EXPECT_EQ(rig.GameTypes(1), std::vector<uint32_t>{});  // the report is not a game message
    EXPECT_FALSE(rig.relay.clients[0].gone);
}

TEST(Relay, ASeatTakesOneConnectionAndRefusesASecond) {
    RelayRig rig({"Ann", "Bob"});
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("brightlea-seat-" + std::to_string(std::random_device{}()) + ".sock"))
                                 .string();
    RelayClient& ann = rig.relay.clients[0];
    ann.socket.Close();
    ann.listener = platform::LobbyListener::Listen(path);
    ASSERT_TRUE(ann.listener.IsOpen());
    platform::LobbySocket first = platform::LobbySocket::Connect(path);
    lobby::AcceptConnections(rig.relay, ann);
    platform::LobbySocket second = platform::LobbySocket::Connect(path);
    lobby::AcceptConnections(rig.relay, ann);
    ASSERT_TRUE(ann.socket.IsOpen());

    EXPECT_EQ(PacketTypesOn(second), std::vector<uint32_t>{shell::kMsgSystemText});
    EXPECT_FALSE(second.IsOpen());  // closed by the lobby after the refusal
    EXPECT_EQ(rig.events.str(),
              R"({"event":"refused","name":"Ann","reason":"a second connection to the seat"})"
              "\n");
    // The first connection is still the seat's.
    const uint8_t vote[5] = {shell::kMsgConcedeVote, 0, 0, 0, 0};
    const auto packet = shell::BuildLobbyPacket("Ann", "", vote, sizeof vote);
    ASSERT_EQ(first.TrySend(packet.data(), packet.size()), platform::SendResult::kSent);
    rig.Run();
    EXPECT_EQ(rig.GameTypes(1), std::vector<uint32_t>{shell::kMsgConcedeVote});
    EXPECT_EQ(PacketTypesOn(first), std::vector<uint32_t>{shell::kMsgConcedeVote});

    // Once the seat has left, its socket is gone: nobody can connect to it any more.
    lobby::ClientLeft(rig.relay, ann);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(platform::LobbySocket::Connect(path).IsOpen());
}

TEST(ReportJson, WritesOneLinePerReport) {
    shell::LobbyLink link;
    auto [lobbyEnd, clientEnd] = platform::LobbySocket::Pair();
    shell::AttachLobbySocket(link, std::move(clientEnd));
    shell::SetLobbyIdentity(link, "Ann", false);
    shell::SendBallChange(link, "Bob", -5, rules::kMoneyPowerShotCharge);
    shell::SendHoleReport(link, 3, 4);
    shell::SendWind(link, 0.0f, 1.0f);
    std::vector<std::string> lines;
    lobbyEnd.ReceivePending([&](const uint8_t* d, size_t n) {
        if (auto j = lobby::ReportJson(d, n)) {
            lines.push_back(*j);
        }
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], R"({"change":-5,"from":"Ann","player":"Bob","reason":2,"type":93})");
    EXPECT_EQ(lines[1], R"({"from":"Ann","hole":3,"strokes":4,"type":16})");

    shell::SendChat(link, "\xC7\xD1 gg");  // what a Korean client says, in its code page
    shell::SendNotice(link, "\xC7\xD1");
    lines.clear();
    lobbyEnd.ReceivePending([&](const uint8_t* d, size_t n) {
        if (auto j = lobby::ReportJson(d, n, platform::CodePage::Korean949)) {
            lines.push_back(*j);
        }
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "{\"from\":\"Ann\",\"text\":\"\xED\x95\x9C gg\",\"type\":0}");
    EXPECT_EQ(lines[1], "{\"from\":\"Ann\",\"text\":\"\xED\x95\x9C\",\"type\":80}");

    // A report cut short still gives a line, marked, and bytes that are not UTF-8 do not stop it.
    std::vector<uint8_t> cut = shell::BuildLobbyPacket("\xC7\xD1", "", nullptr, 0);
    cut.resize(49);
    cut[40] = 5;
    cut[44] = shell::kMsgBallChange;
    const auto j = lobby::ReportJson(cut.data(), cut.size());
    ASSERT_TRUE(j.has_value());
    EXPECT_NE(j->find("\"truncated\":true"), std::string::npos);
}

}  // namespace
