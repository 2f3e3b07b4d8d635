#pragma once
// Several game clients in one process around a table: an in-process lobby relays every packet to
// every client (or to the one named), all clients share one test clock, and each runs its own
// frame loop on the bundled demo course.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/shell/client.h"
#include "game/shell/frame_tick.h"
#include "game/shell/lobby/lobby_packet.h"
#include "game/shell/match/state_log.h"
#include "game/shell/state_work.h"

namespace fs = std::filesystem;

struct TableSettings {
    int players = 1;
    int firstHole = 1;
    int lastHole = 1;
    int gameMode = 0;
    int stake = 0;
    int balls = 100;
    bool teamPlay = false;
    bool give = false;
};

class MatchTable : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        if (!fs::exists(fs::path(BRIGHTLEA_GAMEDATA_DIR) / "Map" / "Club_01" / "Hole_01")) {
            GTEST_SKIP() << "no data set built in " << BRIGHTLEA_GAMEDATA_DIR;
        }
        fs::current_path(BRIGHTLEA_GAMEDATA_DIR);
    }
    void TearDown() override {
        for (auto& client : clients_) {
            shell::EndGame(*client);
        }
        fs::current_path(previous_);
    }

    void Seat(const TableSettings& s) {
        for (int slot = 0; slot < s.players; ++slot) {
            AddClient(s, slot, kNames[slot], false);
        }
    }

    // An observer who joins the running match: it waits for a snapshot, which the lobby asks the
    // first player for.
    shell::Client& AddObserver(const TableSettings& s, const char* name) {
        AddClient(s, 0, name, true);
        shell::Client& observer = *clients_.back();
        SendFromLobby(0, shell::kMsgObserverJoin, name, kNames[0]);
        return observer;
    }

    // A client whose process ended: what it sent still counts, then nothing reaches it any more and
    // the others are told it left.
    void Leave(size_t index) {
        Relay();
        gone_[index] = true;
        for (size_t j = 0; j < clients_.size(); ++j) {
            SendFromLobby(j, shell::kMsgPlayerLeft, "", clients_[index]->lobby.localName);
        }
    }

    void AddClient(const TableSettings& s, int slot, const char* name, bool observer) {
        auto client = std::make_unique<shell::Client>();
        client->clock = platform::GameClock::Test(1000);
        client->rand.Seed(77 + slot);
        shell::LaunchConfig& c = client->config;
        std::strcpy(c.options.language, "ENG");
        c.match.courseCode = 1;
        c.match.startHole = s.firstHole;
        c.match.endHole = s.lastHole;
        c.match.gameMode = s.gameMode;
        c.match.betting = s.stake;
        c.match.teamPlay = s.teamPlay ? 1 : 0;
        c.match.optGive = s.give ? 1 : 0;
        c.match.maxPlayers = s.players;
        c.match.localSlot = slot;
        c.match.localIsObserver = observer ? 1 : 0;
        c.match.waitingForSnapshot = observer ? 1 : 0;
        std::strcpy(c.match.observerName, observer ? name : "");
        c.teamLastShooter[0] = 1;
        c.teamLastShooter[1] = 3;
        for (int p = 0; p < s.players; ++p) {
            std::strcpy(c.players[p].name, kNames[p]);
            c.players[p].balls = s.balls;
        }
        EXPECT_EQ(present::InitDisplay(client->display, nullptr, client->clock.NowMs()), 0);
        client->shell.active = true;
        client->shell.ready = true;
        auto [ours, theirs] = platform::LobbySocket::Pair();
        shell::AttachLobbySocket(client->lobby, std::move(ours));
        shell::SetLobbyIdentity(client->lobby, name, observer);
        lobbyEnds_.push_back(std::move(theirs));
        if (!clients_.empty()) {
            client->clock.Advance(clients_[0]->clock.NowMs() - client->clock.NowMs());  // one table clock
        }
        clients_.push_back(std::move(client));
        gone_.push_back(false);
    }

    // A packet of the lobby's own to one client.
    void SendFromLobby(size_t index, uint32_t type, const char* sender, const char* recipient) {
        if (gone_[index]) {
            return;
        }
        const uint8_t payload[5] = {static_cast<uint8_t>(type), static_cast<uint8_t>(type >> 8), 0, 0, 0};
        const std::vector<uint8_t> packet =
            shell::BuildLobbyPacket(sender, recipient, payload, sizeof payload);
        lobbyEnds_[index].Send(packet.data(), packet.size());
    }

    // Every packet the clients sent, to every client or to the one named.
    void Relay() {
        for (size_t from = 0; from < lobbyEnds_.size(); ++from) {
            if (gone_[from]) {
                continue;
            }
            lobbyEnds_[from].ReceivePending([this](const uint8_t* data, size_t size) {
                shell::LobbyHeader header;
                if (!shell::ReadLobbyHeader(data, size, header)) {
                    return;
                }
                sent_.push_back(header.type);
                packets_.emplace_back(data, data + size);
                for (size_t j = 0; j < clients_.size(); ++j) {
                    if (gone_[j]) {
                        continue;
                    }
                    if (header.recipient[0] == '\0' ||
                        std::strcmp(header.recipient, clients_[j]->lobby.localName) == 0) {
                        lobbyEnds_[j].Send(data, size);
                    }
                }
            });
        }
        for (auto& client : clients_) {
            shell::PumpLobby(client->lobby);
        }
    }

    // One frame on every client that still plays, after ms have passed.
    void Tick(uint32_t ms) {
        Relay();
        for (size_t i = 0; i < clients_.size(); ++i) {
            clients_[i]->clock.Advance(ms);
            if (!gone_[i] && !clients_[i]->shell.quitting) {
                shell::FrameTick(*clients_[i]);
            }
        }
    }

    bool AllEnded() const {
        for (size_t i = 0; i < clients_.size(); ++i) {
            if (!gone_[i] && !clients_[i]->shell.quitting) {
                return false;
            }
        }
        return true;
    }

    size_t CountSent(uint32_t type) const {
        size_t n = 0;
        for (uint32_t t : sent_) {
            n += t == type;
        }
        return n;
    }

    shell::Client& C(int slot) { return *clients_[slot]; }

    void SeatAutoplayers(const TableSettings& s) {
        Seat(s);
        for (auto& client : clients_) {
            client->matchExtras.autoplay.enabled = true;
            client->matchExtras.autoplay.rand.Seed(5);
        }
    }

    // One frame, short while someone swings so that the gauge is watched closely; shots recorded.
    void Step() {
        Tick(AnySwinging() ? 10 : 50);
        RecordShots();
    }

    // Plays until every client has ended or the match clock ran out.
    void PlayOut(uint32_t maxMs = 3600 * 1000) {
        const uint32_t end = C(0).clock.NowMs() + maxMs;
        while (!AllEnded() && C(0).clock.NowMs() < end) {
            Step();
        }
        Relay();  // what the clients sent last
    }

    bool AnySwinging() const {
        for (size_t i = 0; i < clients_.size(); ++i) {
            if (!gone_[i] && clients_[i]->shell.gameState == shell::GameState::Swing) {
                return true;
            }
        }
        return false;
    }

    // Each client's log of the shots it applied, in order.
    void RecordShots() {
        logs_.resize(clients_.size());
        lastResult_.resize(clients_.size());
        for (size_t i = 0; i < clients_.size(); ++i) {
            const shell::Client& c = *clients_[i];
            if (c.shell.gameState == shell::GameState::ShotResult &&
                c.shell.stateEnteredMs != lastResult_[i]) {
                lastResult_[i] = c.shell.stateEnteredMs;
                logs_[i].push_back(shell::ShotLogLine(c.match, c.replay.simulatedRest));
            }
        }
    }

    // The packets of one type the clients sent, in relay order.
    std::vector<shell::LobbyPacket> SentOfType(uint32_t type) const {
        std::vector<shell::LobbyPacket> out;
        constexpr size_t kBodyOffset = 48;  // names, payload length, type
        for (const auto& bytes : packets_) {
            shell::LobbyHeader header;
            if (shell::ReadLobbyHeader(bytes.data(), bytes.size(), header) && header.type == type) {
                shell::LobbyPacket packet;
                std::memcpy(packet.sender, header.sender, sizeof packet.sender);
                std::memcpy(packet.recipient, header.recipient, sizeof packet.recipient);
                packet.type = header.type;
                packet.body.assign(bytes.begin() + std::min(kBodyOffset, bytes.size()), bytes.end());
                out.push_back(packet);
            }
        }
        return out;
    }

    std::vector<std::unique_ptr<shell::Client>> clients_;
    std::vector<platform::LobbySocket> lobbyEnds_;
    std::vector<uint32_t> sent_;                 // types of every packet the clients sent, in relay order
    std::vector<std::vector<uint8_t>> packets_;  // and the packets themselves
    std::vector<bool> gone_;                     // the client's process has ended
    std::vector<std::vector<std::string>> logs_;
    std::vector<uint32_t> lastResult_;
    static constexpr const char* kNames[4] = {"Ann", "Bob", "Cid", "Dee"};

  private:
    fs::path previous_;
};
