// Matches across machines on the loopback interface. RoundTrip: a packet and its echo between two
// lobby sockets, directly through a socket pair or through a remote hop each way (bridge, framed
// TCP link, bridge): half the difference is what one hop adds to a packet's way. HostRelay: packets
// a host relays per second when 4 players and 10 observers all play remotely, every client behind
// its own hop, with the game's own lobby link at the far end. Every hop's frames are sealed as in
// play (link_crypto.h), with fixed keys in place of a key exchange. The links here do not limit
// rates (a host limits each joiner to 400 packets a second): what is measured is what the host can
// carry.

#include <benchmark/benchmark.h>
#include <sys/socket.h>

#include <asio.hpp>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"
#include "lobby/relay.h"
#include "lobby/remote_link.h"
#include "platform/lobby_socket.h"

namespace {

using Tcp = asio::ip::tcp;

// Remote hops served by one Asio thread, as on a host.
class Hops {
  public:
    ~Hops() {
        io_.stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    // A pair of lobby sockets joined through a TCP link: what goes into one comes out of the other.
    std::pair<platform::LobbySocket, platform::LobbySocket> Make() {
        Tcp::acceptor acceptor(io_, Tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
        Tcp::socket a(io_);
        Tcp::socket b(io_);
        a.connect(acceptor.local_endpoint());
        acceptor.accept(b);
        const lobby::LinkKey ab = {1};
        const lobby::LinkKey ba = {2};
        return {Bridge(std::move(a), ab, ba), Bridge(std::move(b), ba, ab)};
    }
    void Run() {
        thread_ = std::thread([this] { io_.run(); });
    }

  private:
    platform::LobbySocket Bridge(Tcp::socket socket, const lobby::LinkKey& sending,
                                 const lobby::LinkKey& receiving) {
        int fds[2];
        ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds);
        auto link = std::make_shared<lobby::FrameLink>(std::move(socket));
        link->SealSending(sending);
        link->SealReceiving(receiving);
        link->Start(nullptr, nullptr);
        std::make_shared<lobby::PacketBridge>(link, fds[0])->Start([](const std::string&) {});
        return platform::LobbySocket(fds[1]);
    }
    asio::io_context io_;
    std::thread thread_;
};

void WaitReadable(const platform::LobbySocket& socket) {
    std::vector<platform::PollEntry> entries = {{socket.Fd()}};
    platform::PollFds(entries, 1000);
}

void RoundTrip(benchmark::State& state, bool remote) {
    Hops hops;
    auto ends = remote ? hops.Make() : platform::LobbySocket::Pair();
    platform::LobbySocket& nearEnd = ends.first;
    platform::LobbySocket& farEnd = ends.second;
    hops.Run();
    const uint8_t body[5] = {shell::kMsgShooterReady, 0, 0, 0, 1};
    const std::vector<uint8_t> packet = shell::BuildLobbyPacket("Ann", "", body, sizeof body);
    for (auto _ : state) {
        nearEnd.TrySend(packet.data(), packet.size());
        for (int got = 0; got == 0;) {
            WaitReadable(farEnd);
            got =
                farEnd.ReceivePending([&](const uint8_t* data, size_t size) { farEnd.TrySend(data, size); });
        }
        for (int got = 0; got == 0;) {
            WaitReadable(nearEnd);
            got = nearEnd.ReceivePending([](const uint8_t*, size_t) {});
        }
    }
}
BENCHMARK_CAPTURE(RoundTrip, DirectSocketPair, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(RoundTrip, ThroughRemoteHops, true)->Unit(benchmark::kMicrosecond)->UseRealTime();

constexpr int kPlayers = 4;
constexpr int kObservers = 10;

void HostRelayToRemoteClients(benchmark::State& state) {
    Hops hops;
    lobby::Relay relay;
    std::vector<shell::LobbyLink> links(kPlayers + kObservers);
    for (int i = 0; i < kPlayers + kObservers; ++i) {
        auto [hostEnd, clientEnd] = hops.Make();
        lobby::RelayClient& c = relay.clients.emplace_back();
        c.seat.observer = i >= kPlayers;
        c.seat.name = (c.seat.observer ? "Watcher" : "Player") + std::to_string(i);
        c.socket = std::move(hostEnd);
        c.remote = true;
        shell::AttachLobbySocket(links[i], std::move(clientEnd));
        shell::SetLobbyIdentity(links[i], c.seat.name.c_str(), c.seat.observer);
    }
    hops.Run();
    std::ostringstream reports;
    const int perPlayer = static_cast<int>(state.range(0));
    uint64_t delivered = 0;
    for (auto _ : state) {
        for (int p = 0; p < kPlayers; ++p) {
            for (int i = 0; i < perPlayer; ++i) {
                shell::SendShotSetup(links[p], physics::ShotInput{});
            }
            shell::FlushLobbyOutbox(links[p]);
        }
        const uint64_t target =
            delivered + static_cast<uint64_t>(kPlayers * perPlayer * (kPlayers + kObservers));
        while (delivered < target) {
            std::vector<platform::PollEntry> entries;
            for (const auto& c : relay.clients) {
                entries.push_back({c.socket.Fd(), !c.outbox.empty()});
            }
            for (const auto& link : links) {
                entries.push_back({link.socket.Fd()});
            }
            platform::PollFds(entries, 100);
            relay.nowMs += 1000;  // the rate limit is not measured here
            for (auto& c : relay.clients) {
                lobby::ReadClient(relay, c, 1 << 30, reports);
            }
            lobby::FlushOutboxes(relay);
            for (auto& link : links) {
                shell::PumpLobby(link);
                delivered += link.gameQueue.size();
                link.gameQueue.clear();
            }
        }
    }
    state.counters["relayed/s"] =
        benchmark::Counter(static_cast<double>(relay.relayed), benchmark::Counter::kIsRate);
    state.counters["delivered/s"] =
        benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
}
BENCHMARK(HostRelayToRemoteClients)->Arg(1)->Arg(25)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
