// How many packets the lobby relays per second in a full match: 4 players and 10
// observers, each connected through a real socket pair with the game's own lobby link. Every
// player sends shot records; the relay checks each one and delivers it to all 14 clients, who
// take it into their game queues.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"
#include "lobby/relay.h"

namespace {

constexpr int kPlayers = 4;
constexpr int kObservers = 10;

struct Match {
    lobby::Relay relay;
    std::vector<shell::LobbyLink> links = std::vector<shell::LobbyLink>(kPlayers + kObservers);
    std::ostringstream reports;

    Match() {
        for (int i = 0; i < kPlayers + kObservers; ++i) {
            auto [lobbyEnd, clientEnd] = platform::LobbySocket::Pair();
            lobby::RelayClient& c = relay.clients.emplace_back();
            c.seat.observer = i >= kPlayers;
            c.seat.name = (c.seat.observer ? "Watcher" : "Player") + std::to_string(i);
            c.socket = std::move(lobbyEnd);
            shell::AttachLobbySocket(links[i], std::move(clientEnd));
            shell::SetLobbyIdentity(links[i], c.seat.name.c_str(), c.seat.observer);
        }
    }
};

void RelayShotsToFourPlayersAndTenObservers(benchmark::State& state) {
    Match m;
    const int perPlayer = static_cast<int>(state.range(0));
    uint64_t delivered = 0;
    for (auto _ : state) {
        for (int p = 0; p < kPlayers; ++p) {
            for (int i = 0; i < perPlayer; ++i) {
                shell::SendShotSetup(m.links[p], physics::ShotInput{});
            }
        }
        m.relay.nowMs += 1000;  // one second of allowance per round: the rate limit is not measured here
        for (auto& c : m.relay.clients) {
            lobby::ReadClient(m.relay, c, 1 << 30, m.reports);
        }
        while (true) {
            lobby::FlushOutboxes(m.relay);
            bool pending = false;
            for (size_t i = 0; i < m.links.size(); ++i) {
                shell::PumpLobby(m.links[i]);
                delivered += m.links[i].gameQueue.size();
                m.links[i].gameQueue.clear();
                pending = pending || !m.relay.clients[i].outbox.empty();
            }
            if (!pending) {
                break;
            }
        }
        for (auto& link : m.links) {
            shell::FlushLobbyOutbox(link);
        }
    }
    state.counters["relayed/s"] =
        benchmark::Counter(static_cast<double>(m.relay.relayed), benchmark::Counter::kIsRate);
    state.counters["delivered/s"] =
        benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
    state.counters["MB_delivered/s"] =
        benchmark::Counter(static_cast<double>(delivered) * 152 / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(RelayShotsToFourPlayersAndTenObservers)->Arg(1)->Arg(25)->Unit(benchmark::kMicrosecond);

}  // namespace
