// The link to a lobby that stalls, breaks, comes back or is gone, and at the end of the game.

#include "game/shell/lobby/lobby_link_watch.h"

#include <gtest/gtest.h>

#include "tests/shell/lobby_socket_reading.h"

#include <filesystem>
#include <random>
#include <thread>

#include "game/shell/lobby/lobby_messages.h"

namespace {

using shell::LobbyLink;
using shell::LobbyMode;

using fixtures::PacketTypesOn;

// A client link and the lobby's end of its connection, with the link's clock in the test's hand.
struct Rig {
    LobbyLink link;
    platform::LobbySocket lobby;
    uint32_t now = 1000;

    Rig() {
        auto [mine, theirs] = platform::LobbySocket::Pair();
        shell::AttachLobbySocket(link, std::move(mine));
        lobby = std::move(theirs);
        shell::SetLobbyIdentity(link, "Ann", false);
        shell::ServiceLobbyLink(link, now);
    }
    // Lets ms pass in steps of 100 ms, servicing and pumping the link as the main loop does.
    void Pass(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 100) {
            now += 100;
            shell::ServiceLobbyLink(link, now);
            shell::PumpLobby(link);
        }
    }
    void LobbyRelays(uint32_t type, uint8_t slot) {
        const uint8_t payload[5] = {static_cast<uint8_t>(type), 0, 0, 0, slot};
        const auto p = shell::BuildLobbyPacket("Bob", "", payload, sizeof payload);
        ASSERT_EQ(lobby.TrySend(p.data(), p.size()), platform::SendResult::kSent);
    }
};

TEST(LobbyWatch, ALobbyPausedForTenSecondsKeepsTheClientAndGetsEverythingInOrder) {
    Rig rig;
    // More than the socket holds: the rest waits in the link, and the game never blocks.
    constexpr int kSent = 3000;
    for (int i = 0; i < kSent; ++i) {
        shell::SendShooterReady(rig.link, static_cast<uint8_t>(i));
    }
    EXPECT_GT(rig.link.outbox.size(), 0u);
    rig.Pass(4900);
    EXPECT_TRUE(rig.link.notices.empty());
    rig.Pass(5100);
    EXPECT_EQ(rig.link.mode, LobbyMode::kConnected);
    ASSERT_EQ(rig.link.notices.size(), 1u);
    EXPECT_EQ(rig.link.notices[0], shell::kNoticeLobbyStalled);

    // The lobby wakes up, reads what waited and answers.
    std::vector<uint32_t> slots;
    for (int round = 0; round < 100 && slots.size() < kSent; ++round) {
        rig.lobby.ReceivePending([&](const uint8_t* d, size_t n) {
            ASSERT_EQ(n, 50u);
            slots.push_back(d[48]);
        });
        rig.Pass(100);
    }
    ASSERT_EQ(slots.size(), static_cast<size_t>(kSent));
    for (int i = 0; i < kSent; ++i) {
        ASSERT_EQ(slots[i], static_cast<uint8_t>(i));
    }
    rig.LobbyRelays(shell::kMsgShooterReady, 0);
    rig.Pass(100);
    EXPECT_EQ(rig.link.notices.back(), shell::kNoticeLobbyAnswers);
    EXPECT_EQ(rig.link.mode, LobbyMode::kConnected);
    EXPECT_EQ(rig.link.gameQueue.size(), 1u);
}

TEST(LobbyWatch, ALobbyThatNeverAnswersEndsTheLinkWithAReason) {
    Rig rig;
    shell::SendWind(rig.link, 0.0f, 1.0f);
    rig.Pass(shell::kLobbyGiveUpMs - 200);
    EXPECT_EQ(rig.link.mode, LobbyMode::kConnected);
    rig.Pass(300);
    EXPECT_EQ(rig.link.mode, LobbyMode::kLost);
    EXPECT_NE(rig.link.lostReason.find("not answered"), std::string::npos);
    EXPECT_EQ(rig.link.gameQueue.size(), 0u);
    // Being quiet is not a stall: nothing was sent that waits for an answer.
    Rig quiet;
    quiet.Pass(shell::kLobbyGiveUpMs + 1000);
    EXPECT_EQ(quiet.link.mode, LobbyMode::kConnected);
    EXPECT_TRUE(quiet.link.notices.empty());
}

TEST(LobbyWatch, TheGameQueueIsBoundedAndTheRestWaitsInTheSocket) {
    Rig rig;
    std::thread lobby([&] {
        for (size_t i = 0; i < shell::kGameQueueLimit + 50; ++i) {
            const uint8_t payload[5] = {shell::kMsgShooterReady, 0, 0, 0, 1};
            const auto p = shell::BuildLobbyPacket("Bob", "", payload, sizeof payload);
            rig.lobby.Send(p.data(), p.size(), 5000);
        }
    });
    while (rig.link.gameQueue.size() < shell::kGameQueueLimit) {
        shell::PumpLobby(rig.link);
    }
    shell::PumpLobby(rig.link);
    EXPECT_EQ(rig.link.gameQueue.size(), shell::kGameQueueLimit);
    rig.link.gameQueue.clear();  // the frame ticks handled them
    while (rig.link.gameQueue.size() < 50) {
        shell::PumpLobby(rig.link);
    }
    lobby.join();
    EXPECT_EQ(rig.link.droppedMalformed, 0u);
}

class LobbyAtAPath : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() /
                 ("brightlea-watch-" + std::to_string(std::random_device{}()) + ".sock"))
                    .string();
        listener_ = platform::LobbyListener::Listen(path_);
        ASSERT_TRUE(listener_.IsOpen());
        shell::OpenLobbyLink(link_, path_);
        shell::SetLobbyIdentity(link_, "Ann", false);
        ASSERT_EQ(link_.mode, LobbyMode::kConnected);
        lobby_ = listener_.Accept();
        ASSERT_TRUE(lobby_.IsOpen());
    }
    void Pass(uint32_t ms) {
        for (uint32_t t = 0; t < ms; t += 100) {
            now_ += 100;
            shell::ServiceLobbyLink(link_, now_);
            shell::PumpLobby(link_);
        }
    }

    std::string path_;
    platform::LobbyListener listener_;
    platform::LobbySocket lobby_;
    LobbyLink link_;
    uint32_t now_ = 500;
};

TEST_F(LobbyAtAPath, ABrokenConnectionIsMadeAgainAndWhatWaitedIsSent) {
    lobby_.Close();
    Pass(200);
    EXPECT_EQ(link_.mode, LobbyMode::kConnected);  // connected again at once: the lobby still listens
    ASSERT_GE(link_.notices.size(), 2u);
    EXPECT_EQ(link_.notices[0], shell::kNoticeLobbyBroken);
    EXPECT_EQ(link_.notices[1], shell::kNoticeLobbyBack);
    shell::SendHoleReport(link_, 2, 4);
    platform::LobbySocket again = listener_.Accept();
    ASSERT_TRUE(again.IsOpen());
    EXPECT_EQ(PacketTypesOn(again), std::vector<uint32_t>{shell::kMsgHoleReport});
}

TEST_F(LobbyAtAPath, ALobbyThatIsGoneEndsTheLinkAfterTryingForAWhile) {
    listener_ = platform::LobbyListener();  // the lobby's socket is gone
    lobby_.Close();
    Pass(200);
    EXPECT_EQ(link_.mode, LobbyMode::kReconnecting);
    shell::SendHoleReport(link_, 2, 4);  // kept for a lobby that comes back
    EXPECT_EQ(link_.outbox.size(), 1u);
    Pass(shell::kLobbyReconnectForMs - 300);
    EXPECT_EQ(link_.mode, LobbyMode::kReconnecting);
    Pass(400);
    EXPECT_EQ(link_.mode, LobbyMode::kLost);
    EXPECT_NE(link_.lostReason.find("did not come back"), std::string::npos);
    EXPECT_NE(link_.notices.back().find(link_.lostReason), std::string::npos);
}

TEST_F(LobbyAtAPath, FinishingHandsTheLobbyTheLastReportsEvenWhileItIsSlow) {
    while (link_.outbox.empty()) {
        shell::SendChat(link_, std::string(500, 'x').c_str());
    }
    shell::SendHoleReport(link_, 9, 4);
    const shell::FinalScore scores[4] = {{"Ann", 1, 40}};
    shell::SendFinalScores(link_, 1, scores);
    shell::SendGameEnd(link_);
    std::vector<uint32_t> types;
    std::thread lobby([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a lobby busy elsewhere
        while (lobby_.IsOpen()) {
            for (uint32_t t : PacketTypesOn(lobby_)) {
                types.push_back(t);
            }
            std::vector<platform::PollEntry> wait = {{lobby_.Fd()}};
            platform::PollFds(wait, 100);
        }
    });
    shell::FinishLobbyLink(link_, 5000);
    lobby.join();
    ASSERT_GE(types.size(), 3u);
    EXPECT_EQ(std::vector<uint32_t>(types.end() - 3, types.end()),
              (std::vector<uint32_t>{shell::kMsgHoleReport, shell::kMsgFinalScores, shell::kMsgGameEnd}));
    EXPECT_FALSE(link_.socket.IsOpen());
}

}  // namespace
