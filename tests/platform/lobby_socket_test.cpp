// Lobby connections at their ends: nothing the other side sent before it went is lost.

#include "platform/lobby_socket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::LobbySocket;
using platform::SendResult;

void SendText(LobbySocket& s, const std::string& text) {
    ASSERT_EQ(s.TrySend(reinterpret_cast<const uint8_t*>(text.data()), text.size()), SendResult::kSent);
}

std::vector<std::string> ReceiveAll(LobbySocket& s) {
    std::vector<std::string> got;
    s.ReceivePending(
        [&](const uint8_t* d, size_t n) { got.emplace_back(reinterpret_cast<const char*>(d), n); });
    return got;
}

TEST(LobbySocket, APeerThatClosesWithUnreadPacketsStillDeliversWhatItSent) {
    for (bool readerSendsFirst : {false, true}) {
        auto [client, lobby] = LobbySocket::Pair();
        SendText(client, "hole report");
        SendText(client, "final scores");
        SendText(client, "game end");
        SendText(lobby, "chat the client never reads");
        client.Close();  // the kernel now reports a reset to the lobby before the three packets
        if (readerSendsFirst) {
            const std::string late = "late relay";
            EXPECT_EQ(lobby.TrySend(reinterpret_cast<const uint8_t*>(late.data()), late.size()),
                      SendResult::kClosed);
            EXPECT_TRUE(lobby.IsOpen());
        }
        EXPECT_EQ(ReceiveAll(lobby), (std::vector<std::string>{"hole report", "final scores", "game end"}));
        EXPECT_FALSE(lobby.IsOpen());
        EXPECT_TRUE(lobby.PeerGone());
    }
}

TEST(LobbySocket, EmptyAndOversizePacketsAreCountedAndTheConnectionStays) {
    auto [a, b] = LobbySocket::Pair();
    ASSERT_EQ(a.TrySend(nullptr, 0), SendResult::kSent);
    const std::vector<uint8_t> big(platform::kLobbyMaxPacket + 100, 7);
    ASSERT_EQ(a.TrySend(big.data(), big.size()), SendResult::kSent);
    SendText(a, "after");
    EXPECT_EQ(ReceiveAll(b), std::vector<std::string>{"after"});
    EXPECT_TRUE(b.IsOpen());
    EXPECT_EQ(b.Drops().empty, 1u);
    EXPECT_EQ(b.Drops().oversize, 1u);

    // Only after the peer has gone does a zero-length read mean the end.
    a.Close();
    EXPECT_TRUE(ReceiveAll(b).empty());
    EXPECT_FALSE(b.IsOpen());
}

TEST(LobbySocket, FinishHandsOverTheLastPacketsBothWays) {
    auto [client, lobby] = LobbySocket::Pair();
    SendText(lobby, "relayed before the end");
    SendText(client, "final scores");
    std::vector<std::string> clientGot;
    client.Finish(
        [&](const uint8_t* d, size_t n) { clientGot.emplace_back(reinterpret_cast<const char*>(d), n); }, 0);
    EXPECT_FALSE(client.IsOpen());
    EXPECT_EQ(clientGot, std::vector<std::string>{"relayed before the end"});
    EXPECT_EQ(ReceiveAll(lobby), std::vector<std::string>{"final scores"});
    EXPECT_FALSE(lobby.IsOpen());  // the half-close reads as the end of the stream
}

TEST(LobbySocket, AStalledPeerFailsTheSendButKeepsTheConnection) {
    auto [a, b] = LobbySocket::Pair();
    const std::vector<uint8_t> packet(4000, 1);
    while (a.TrySend(packet.data(), packet.size()) == SendResult::kSent) {
    }
    EXPECT_FALSE(a.Send(packet.data(), packet.size(), 20));
    EXPECT_TRUE(a.IsOpen());
    EXPECT_FALSE(a.PeerGone());
    EXPECT_GT(ReceiveAll(b).size(), 0u);
    EXPECT_TRUE(a.Send(packet.data(), packet.size(), 20));
}

}  // namespace
