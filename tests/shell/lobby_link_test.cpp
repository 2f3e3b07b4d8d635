#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/lobby/shot_input_wire.h"
#include "game/shell/match/swing.h"

namespace {

using shell::LobbyLink;
using shell::LobbyPacket;
using Bytes = std::vector<uint8_t>;

uint32_t GetU32(const Bytes& b, size_t offset) {
    return b[offset] | b[offset + 1] << 8 | b[offset + 2] << 16 | static_cast<uint32_t>(b[offset + 3]) << 24;
}

// A hand-made packet: names, payload length field, type, body; no spare byte unless given.
Bytes MakePacket(const char* sender, const char* recipient, uint32_t lengthField, uint32_t type,
                 const Bytes& body = {}) {
    Bytes b(44, 0);
    std::memcpy(b.data(), sender, std::strlen(sender));
    std::memcpy(b.data() + 20, recipient, std::strlen(recipient));
    for (int i = 0; i < 4; ++i) {
        b[40 + i] = static_cast<uint8_t>(lengthField >> (8 * i));
        b.push_back(static_cast<uint8_t>(type >> (8 * i)));
    }
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes MakePacket(uint32_t type, const Bytes& body = {}) {
    return MakePacket("Bob", "", static_cast<uint32_t>(4 + body.size()), type, body);
}

void Receive(LobbyLink& link, const Bytes& bytes) {
    shell::LobbyReceive(link, bytes.data(), bytes.size());
}

// A link wired to one end of a socket pair; the other end sees exactly what the link sends.
struct WiredLink {
    LobbyLink link;
    platform::LobbySocket peer;

    explicit WiredLink(const char* name, bool observer = false) {
        auto [mine, theirs] = platform::LobbySocket::Pair();
        shell::AttachLobbySocket(link, std::move(mine));
        peer = std::move(theirs);
        shell::SetLobbyIdentity(link, name, observer);
    }
    std::vector<Bytes> Sent() {
        std::vector<Bytes> packets;
        peer.ReceivePending([&](const uint8_t* d, size_t n) { packets.emplace_back(d, d + n); });
        return packets;
    }
};

physics::ShotInput SomeShot() {
    physics::ShotInput s;
    s.player = 2;
    s.club = 5;
    s.launchSpeed = 80.5f;
    return s;
}

struct SenderCase {
    const char* what;
    uint32_t type;
    uint32_t payloadLength;  // N as sent
    bool handledOnArrival;
    std::function<void(LobbyLink&)> send;
};

std::vector<SenderCase> AllSenders() {
    static const char history[15][81] = {"newest line", "older line"};
    static const shell::FinalScore scores[4] = {{"Ann", 1, 300}, {"Bob", 1, 310}, {"Cy", 0, 95}, {}};
    return {
        {"chat", 0, 5 + 6, true, [](LobbyLink& l) { shell::SendChat(l, "hello"); }},
        {"turn start", 1, 107, true, [](LobbyLink& l) { shell::SendTurnStart(l, SomeShot()); }},
        {"shooter ready", 2, 5, true, [](LobbyLink& l) { shell::SendShooterReady(l, 3); }},
        {"shot set-up", 5, 107, true, [](LobbyLink& l) { shell::SendShotSetup(l, SomeShot()); }},
        {"shot", 7, 107, true, [](LobbyLink& l) { shell::SendShot(l, SomeShot()); }},
        {"shot end", 8, 107, true, [](LobbyLink& l) { shell::SendShotEnd(l, SomeShot()); }},
        {"concede vote", 9, 5, true, [](LobbyLink& l) { shell::SendConcedeVote(l); }},
        {"next hole", 11, 5, true, [](LobbyLink& l) { shell::SendNextHole(l, 0); }},
        {"time-out", 15, 5, true, [](LobbyLink& l) { shell::SendTimeOut(l, 1); }},
        {"hole report", 16, 7, false, [](LobbyLink& l) { shell::SendHoleReport(l, 4, 6); }},
        {"snapshot", 17, 555, true,
         [](LobbyLink& l) { shell::SendSnapshot(l, "Watcher", shell::GameSnapshot{}); }},
        {"chat report", 18, 1220, false, [](LobbyLink& l) { shell::SendChatReport(l, history); }},
        {"pin", 30, 18, true,
         [](LobbyLink& l) {
             shell::SendPin(l, {1.0f, 2.0f, 3.0f}, 4);
         }},
        {"wind", 31, 13, true, [](LobbyLink& l) { shell::SendWind(l, 1.5f, 7.0f); }},
        {"notice", 80, 3 + 6, true, [](LobbyLink& l) { shell::SendNotice(l, "hey"); }},
        {"quiet notice", 81, 0 + 6, true, [](LobbyLink& l) { shell::SendQuietNotice(l, ""); }},
        {"final scores", 92, 70, false, [](LobbyLink& l) { shell::SendFinalScores(l, 3, scores); }},
        {"ball change", 93, 23, false,
         [](LobbyLink& l) { shell::SendBallChange(l, "Ann", -5, rules::kMoneyPowerShotCharge); }},
        {"game end", 94, 13, false, [](LobbyLink& l) { shell::SendGameEnd(l); }},
        {"call lobby", 96, 5, false, [](LobbyLink& l) { shell::SendCallLobby(l); }},
    };
}

TEST(LobbySenders, BuildTheirPacketsAndComeBackThroughTheReceiveStep) {
    for (const SenderCase& c : AllSenders()) {
        SCOPED_TRACE(c.what);
        WiredLink sender("Ann");
        c.send(sender.link);
        const std::vector<Bytes> sent = sender.Sent();
        ASSERT_EQ(sent.size(), 1u);
        const Bytes& p = sent[0];
        ASSERT_EQ(p.size(), c.payloadLength + 45u);
        EXPECT_STREQ(reinterpret_cast<const char*>(p.data()), "Ann");
        EXPECT_EQ(GetU32(p, 40), c.payloadLength);
        EXPECT_EQ(GetU32(p, 44), c.type);

        LobbyLink receiver;
        Receive(receiver, p);
        const size_t queued = receiver.gameQueue.size();
        EXPECT_EQ(queued + receiver.chatQueue.size(), 0u + c.handledOnArrival);
        EXPECT_EQ(receiver.droppedUnknown, c.handledOnArrival ? 0u : 1u);
        EXPECT_EQ(receiver.droppedMalformed, 0u);
    }
}

TEST(LobbySenders, BodiesHoldTheirFieldsAtTheirOffsets) {
    WiredLink w("Ann");
    shell::SendPin(w.link, {1.0f, 2.0f, 3.0f}, 4);
    shell::SendBallChange(w.link, "Bob", -5, rules::kMoneyPenaltyCharge);
    shell::SendTimeOut(w.link, 2);
    shell::SendGameEnd(w.link);
    shell::SendSnapshot(w.link, "Watcher", shell::GameSnapshot{});
    shell::SendFinalScores(w.link, 2, std::vector<shell::FinalScore>{{"Ann", 1, 0x0102}, {}, {}, {}}.data());
    const std::vector<Bytes> sent = w.Sent();
    ASSERT_EQ(sent.size(), 6u);

    const Bytes& pin = sent[0];  // three floats, the sky byte, the spare byte
    EXPECT_EQ(GetU32(pin, 48), 0x3F800000u);
    EXPECT_EQ(GetU32(pin, 56), 0x40400000u);
    EXPECT_EQ(pin[60], 4);

    const Bytes& ball = sent[1];  // name in 13 bytes, the change unaligned at body offset 13, the reason
    EXPECT_STREQ(reinterpret_cast<const char*>(&ball[48]), "Bob");
    EXPECT_EQ(GetU32(ball, 48 + 13), static_cast<uint32_t>(-5));
    EXPECT_EQ(ball[48 + 17], rules::kMoneyPenaltyCharge);

    EXPECT_EQ(sent[2][48], 2);  // the slot is the last payload byte: no spare byte
    EXPECT_EQ(sent[2].size(), 44u + 5u + 1u);

    EXPECT_EQ(std::memcmp(&sent[3][48], "GameEnd", 8), 0);

    EXPECT_STREQ(reinterpret_cast<const char*>(&sent[4][20]), "Watcher");  // only the observer gets it

    const Bytes& scores = sent[5];  // count, then 16-byte entries: name, present, strokes
    EXPECT_EQ(scores[48], 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(&scores[49]), "Ann");
    EXPECT_EQ(scores[49 + 13], 1);
    EXPECT_EQ(scores[49 + 14], 0x02);
    EXPECT_EQ(scores[49 + 15], 0x01);
}

// Message 7 carries, after the shot record, the shooter's impact error in sixteenths of a gauge
// unit (rounded up, 255 at most): every client's bite rule reads it. The other records' last byte
// stays 0.
TEST(LobbySenders, TheShotCarriesTheImpactErrorInItsLastByte) {
    WiredLink w("Ann");
    shell::SendShot(w.link, SomeShot(), shell::ImpactErrorByte(7.3f));
    shell::SendShotEnd(w.link, SomeShot());
    const std::vector<Bytes> sent = w.Sent();
    ASSERT_EQ(sent.size(), 2u);
    const Bytes& shot = sent[0];
    ASSERT_EQ(shot.size(), 45u + 107u);
    EXPECT_EQ(GetU32(shot, 48 + 52), 0x42A10000u);  // the record (launch speed 80.5 at its byte 52)
    EXPECT_EQ(shot[44 + 106], 117);                 // the payload's last byte: ceil(7.3 x 16)
    EXPECT_EQ(sent[1][44 + 106], 0);
    LobbyLink receiver;
    Receive(receiver, shot);
    LobbyPacket packet;
    ASSERT_TRUE(shell::TakeGameMessage(receiver, false, packet));
    EXPECT_EQ(shell::MessageShotSpare(packet), 117);
    EXPECT_NEAR(shell::ImpactErrorFromByte(shell::MessageShotSpare(packet)), 7.3f, 1.0f / 16.0f);
}

TEST(LobbySenders, ObserversSendOnlyChatAndTheirOwnReports) {
    for (const SenderCase& c : AllSenders()) {
        SCOPED_TRACE(c.what);
        WiredLink observer("Watcher", true);
        c.send(observer.link);
        const bool mayObserverSend =
            c.type == 0 || c.type == 17 || c.type == 18 || c.type == 92 || c.type == 94 || c.type == 96;
        EXPECT_EQ(observer.Sent().size(), mayObserverSend ? 1u : 0u);
    }
}

TEST(LobbyLink, AloneEverySendComesBackAtOnce) {
    LobbyLink link;
    shell::OpenLobbyLink(link, "/nonexistent/brightlea-test.sock");
    shell::SetLobbyIdentity(link, "Ann", false);
    ASSERT_EQ(link.mode, shell::LobbyMode::kAlone);

    shell::SendTurnStart(link, SomeShot());
    ASSERT_EQ(link.gameQueue.size(), 1u);
    LobbyPacket packet;
    ASSERT_TRUE(shell::TakeGameMessage(link, false, packet));
    EXPECT_EQ(packet.type, shell::kMsgTurnStart);
    EXPECT_STREQ(packet.sender, "Ann");
    EXPECT_EQ(shell::MessageShot(packet).launchSpeed, 80.5f);
    EXPECT_EQ(shell::MessageShot(packet).player, 2);

    shell::SendChat(link, "hi");  // waits for the client to show it, never behind game messages
    EXPECT_EQ(link.chatQueue.size(), 1u);
    EXPECT_TRUE(link.gameQueue.empty());
}

TEST(LobbyLink, ChatIsShownAtOnceWhileGameMessagesWaitInOrder) {
    LobbyLink link;
    Receive(link, MakePacket(shell::kMsgShotEnd, Bytes(103, 0)));  // arrives during a replay
    Receive(link, MakePacket(shell::kMsgChat, {'y', 'o', 0, 0}));
    EXPECT_EQ(link.chatQueue.size(), 1u);
    Receive(link, MakePacket(shell::kMsgWind, {0, 0, 0x80, 0x3F, 0, 0, 0x20, 0x41, 0}));

    LobbyPacket first;
    LobbyPacket second;
    ASSERT_TRUE(shell::TakeGameMessage(link, false, first));
    ASSERT_TRUE(shell::TakeGameMessage(link, false, second));
    EXPECT_FALSE(shell::TakeGameMessage(link, false, second));
    EXPECT_EQ(first.type, shell::kMsgShotEnd);
    EXPECT_EQ(second.type, shell::kMsgWind);
    EXPECT_EQ(shell::MessageWind(second).direction, 1.0f);
    EXPECT_EQ(shell::MessageWind(second).speed, 10.0f);
}

TEST(LobbyLink, ObserverWaitingForItsSnapshotDropsEverythingElse) {
    LobbyLink link;
    Receive(link, MakePacket(shell::kMsgShooterReady, {1}));
    Receive(link, MakePacket(shell::kMsgSnapshot, Bytes(551, 0)));
    LobbyPacket packet;
    EXPECT_FALSE(shell::TakeGameMessage(link, true, packet));
    EXPECT_EQ(link.gameQueue.size(), 1u);
    ASSERT_TRUE(shell::TakeGameMessage(link, true, packet));
    EXPECT_EQ(packet.type, shell::kMsgSnapshot);
}

TEST(LobbyLink, PlayerLeftNamesTheLeaverInTheRecipientField) {
    LobbyLink link;
    shell::SetLobbyIdentity(link, "Ann", false);
    Receive(link, MakePacket("", "Cy", 5, shell::kMsgPlayerLeft, {0}));
    LobbyPacket packet;
    ASSERT_TRUE(shell::TakeGameMessage(link, false, packet));
    EXPECT_EQ(packet.type, shell::kMsgPlayerLeft);
    EXPECT_STREQ(packet.recipient, "Cy");
}

TEST(LobbyLink, BadPacketsAreDroppedAndCounted) {
    LobbyLink link;
    Receive(link, MakePacket(200));
    EXPECT_EQ(link.droppedUnknown, 1u);

    Bytes tiny = MakePacket(shell::kMsgConcedeVote);
    tiny.pop_back();  // 47 bytes
    Receive(link, tiny);
    Receive(link, MakePacket("Bob", "", 60, shell::kMsgConcedeVote));    // claims more than it holds
    Receive(link, MakePacket("Bob", "", 3, shell::kMsgConcedeVote));     // too short for its type field
    Receive(link, MakePacket(shell::kMsgShot, Bytes(101, 0)));           // one byte short of a shot
    Receive(link, MakePacket(shell::kMsgShooterReady));                  // no slot byte
    Receive(link, MakePacket("Bob", "", 0xFFFFFFFFu, shell::kMsgChat));  // length near the top of u32
    Receive(link, MakePacket(shell::kMsgSnapshot, Bytes(549, 0)));
    EXPECT_EQ(link.droppedMalformed, 7u);
    EXPECT_TRUE(link.gameQueue.empty());

    Bytes longNames = MakePacket(shell::kMsgConcedeVote);
    std::memset(longNames.data(), 'n', 40);  // neither name is terminated
    Receive(link, longNames);
    ASSERT_EQ(link.gameQueue.size(), 1u);
    EXPECT_EQ(std::strlen(link.gameQueue.front().sender), 19u);
    EXPECT_EQ(std::strlen(link.gameQueue.front().recipient), 19u);

    LobbyPacket unterminated;
    ASSERT_EQ(shell::ParseLobbyPacket(MakePacket(shell::kMsgChat, {'a', 'b'}).data(), 50, unterminated),
              shell::PacketCheck::kAccepted);
    EXPECT_EQ(shell::PacketText(unterminated), "ab");
}

TEST(LobbyLink, PumpHandsEveryWaitingPacketToTheReceiveStep) {
    WiredLink w("Ann");
    for (uint8_t slot = 0; slot < 3; ++slot) {
        const Bytes p = MakePacket(shell::kMsgNextHole, {slot});
        ASSERT_EQ(w.peer.TrySend(p.data(), p.size()), platform::SendResult::kSent);
    }
    const Bytes garbage = {1, 2, 3};
    w.peer.TrySend(garbage.data(), garbage.size());
    shell::PumpLobby(w.link);
    ASSERT_EQ(w.link.gameQueue.size(), 3u);
    EXPECT_EQ(shell::MessageSlot(w.link.gameQueue.back()), 2);
    EXPECT_EQ(w.link.droppedMalformed, 1u);
    EXPECT_EQ(w.link.mode, shell::LobbyMode::kConnected);
}

}  // namespace
