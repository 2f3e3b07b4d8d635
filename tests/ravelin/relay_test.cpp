#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/shell/lobby_link.h"
#include "game/shell/lobby_messages.h"
#include "tools/ravelin/relay.h"
#include "tools/ravelin/report_json.h"

namespace {

using tools::Relay;
using tools::RelayClient;

// A relay whose clients are connected through socket pairs to game-side lobby links.
struct RelayRig {
    Relay relay;
    std::vector<shell::LobbyLink> links;
    std::ostringstream reports;

    explicit RelayRig(const std::vector<std::string>& players, const std::vector<std::string>& observers = {})
        : links(players.size() + observers.size()) {
        for (size_t i = 0; i < links.size(); ++i) {
            auto [lobbyEnd, clientEnd] = platform::LobbySocket::Pair();
            RelayClient& c = relay.clients.emplace_back();
            c.seat.observer = i >= players.size();
            c.seat.name = c.seat.observer ? observers[i - players.size()] : players[i];
            c.seat.slot = static_cast<int>(i);
            c.socket = std::move(lobbyEnd);
            shell::AttachLobbySocket(links[i], std::move(clientEnd));
            shell::SetLobbyIdentity(links[i], c.seat.name.c_str(), c.seat.observer);
        }
    }
    // Moves every packet the clients sent through the relay and back to the clients.
    void Run() {
        for (RelayClient& c : relay.clients) {
            c.socket.ReceivePending(
                [&](const uint8_t* d, size_t n) { tools::RelayPacket(relay, c, d, n, reports); });
        }
        tools::FlushOutboxes(relay);
        for (shell::LobbyLink& link : links) {
            shell::PumpLobby(link);
        }
    }
    std::vector<uint32_t> GameTypes(size_t i) {
        std::vector<uint32_t> types;
        for (const auto& p : links[i].gameQueue) {
            types.push_back(p.type);
        }
        return types;
    }
};

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
    tools::ClientLeft(rig.relay, rig.relay.clients[1]);
    tools::ClientLeft(rig.relay, rig.relay.clients[1]);
    tools::ClientLeft(rig.relay, rig.relay.clients[3]);  // observers leave silently
    rig.Run();
    ASSERT_EQ(rig.links[0].gameQueue.size(), 1u);
    EXPECT_EQ(rig.links[0].gameQueue.front().type, shell::kMsgPlayerLeft);
    EXPECT_STREQ(rig.links[0].gameQueue.front().recipient, "Bob");
    EXPECT_EQ(rig.GameTypes(2), rig.GameTypes(0));
    EXPECT_TRUE(rig.links[1].gameQueue.empty());
    EXPECT_EQ(tools::FirstPlayer(rig.relay)->seat.name, "Ann");
}

TEST(Relay, APlayerWhoSentFinalScoresLeavesWithoutNews) {
    RelayRig rig({"Ann", "Bob"});
    const shell::FinalScore scores[4] = {{"Ann", 1, 72}, {"Bob", 1, 80}, {}, {}};
    shell::SendFinalScores(rig.links[1], 2, scores);
    rig.Run();
    tools::ClientLeft(rig.relay, rig.relay.clients[1]);
    rig.Run();
    EXPECT_TRUE(rig.links[0].gameQueue.empty());
    EXPECT_NE(rig.reports.str().find("\"type\":92"), std::string::npos);
}

TEST(Relay, AClientThatStopsReadingIsTakenOutOfTheMatch) {
    RelayRig rig({"Ann", "Bob"});
    const std::string text(1000, 'x');
    for (size_t sent = 0; sent <= tools::kOutboxLimitBytes + (1u << 20); sent += text.size()) {
        shell::SendChat(rig.links[0], text.c_str());
        rig.relay.clients[0].socket.ReceivePending([&](const uint8_t* d, size_t n) {
            tools::RelayPacket(rig.relay, rig.relay.clients[0], d, n, rig.reports);
        });
        tools::FlushOutboxes(rig.relay);
        shell::PumpLobby(rig.links[0]);  // Ann keeps reading; Bob never does
        if (rig.relay.clients[1].gone) {
            break;
        }
    }
    EXPECT_TRUE(rig.relay.clients[1].gone);
    EXPECT_FALSE(rig.relay.clients[0].gone);
}

TEST(ReportJson, WritesOneLinePerReport) {
    shell::LobbyLink link;
    auto [lobbyEnd, clientEnd] = platform::LobbySocket::Pair();
    shell::AttachLobbySocket(link, std::move(clientEnd));
    shell::SetLobbyIdentity(link, "Ann", false);
    shell::SendBallChange(link, "Bob", -5, physics::kMoneyPowerShotCharge);
    shell::SendHoleReport(link, 3, 4);
    shell::SendWind(link, 0.0f, 1.0f);
    std::vector<std::string> lines;
    lobbyEnd.ReceivePending([&](const uint8_t* d, size_t n) {
        if (auto j = tools::ReportJson(d, n)) {
            lines.push_back(*j);
        }
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], R"({"change":-5,"from":"Ann","player":"Bob","reason":2,"type":93})");
    EXPECT_EQ(lines[1], R"({"from":"Ann","hole":3,"strokes":4,"type":16})");

    // A report cut short still gives a line, marked, and bytes that are not UTF-8 do not stop it.
    std::vector<uint8_t> cut = shell::BuildLobbyPacket("\xC7\xD1", "", nullptr, 0);
    cut.resize(49);
    cut[40] = 5;
    cut[44] = shell::kMsgBallChange;
    const auto j = tools::ReportJson(cut.data(), cut.size());
    ASSERT_TRUE(j.has_value());
    EXPECT_NE(j->find("\"truncated\":true"), std::string::npos);
}

}  // namespace
