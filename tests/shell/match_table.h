#pragma once
// Several game clients in one process around a table: an in-process lobby relays every packet to
// every client (or to the one named), all clients share one test clock, and each runs its own
// frame loop on the bundled demo course.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/shell/client.h"
#include "game/shell/frame_tick.h"
#include "game/shell/lobby_packet.h"
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
        static const char* const kNames[4] = {"Ann", "Bob", "Cid", "Dee"};
        for (int slot = 0; slot < s.players; ++slot) {
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
            c.match.waitingForSnapshot = 0;
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
            shell::SetLobbyIdentity(client->lobby, kNames[slot], false);
            lobbyEnds_.push_back(std::move(theirs));
            clients_.push_back(std::move(client));
        }
    }

    // Every packet the clients sent, to every client or to the one named.
    void Relay() {
        for (auto& end : lobbyEnds_) {
            end.ReceivePending([this](const uint8_t* data, size_t size) {
                shell::LobbyHeader header;
                if (!shell::ReadLobbyHeader(data, size, header)) {
                    return;
                }
                sent_.push_back(header.type);
                for (size_t j = 0; j < clients_.size(); ++j) {
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
        for (auto& client : clients_) {
            client->clock.Advance(ms);
            if (!client->shell.quitting) {
                shell::FrameTick(*client);
            }
        }
    }

    bool AllEnded() const {
        for (const auto& client : clients_) {
            if (!client->shell.quitting) {
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

    std::vector<std::unique_ptr<shell::Client>> clients_;
    std::vector<platform::LobbySocket> lobbyEnds_;
    std::vector<uint32_t> sent_;  // types of every packet the clients sent, in relay order

  private:
    fs::path previous_;
};
