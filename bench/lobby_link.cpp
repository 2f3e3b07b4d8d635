// How fast the receive step takes packets in, and how fast the snapshot is packed and unpacked.

#include <benchmark/benchmark.h>

#include <vector>

#include "game/shell/lobby/game_snapshot.h"
#include "game/shell/lobby/lobby_link.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/lobby/shot_input_wire.h"

namespace {

std::vector<uint8_t> ShotPacket() {
    std::vector<uint8_t> payload(4 + physics::kShotInputWireSize + 1, 0);
    payload[0] = shell::kMsgShot;
    shell::PackShotInput(physics::ShotInput{}, payload.data() + 4);
    return shell::BuildLobbyPacket("Ann", "", payload.data(), static_cast<uint32_t>(payload.size()));
}

void ReceiveAndTakeShotPackets(benchmark::State& state) {
    const std::vector<uint8_t> packet = ShotPacket();
    shell::LobbyLink link;
    shell::LobbyPacket taken;
    for (auto _ : state) {
        shell::LobbyReceive(link, packet.data(), packet.size());
        shell::TakeGameMessage(link, false, taken);
        benchmark::DoNotOptimize(shell::MessageShot(taken));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ReceiveAndTakeShotPackets);

void SnapshotRoundTrip(benchmark::State& state) {
    shell::GameSnapshot snapshot;
    uint8_t bytes[shell::kGameSnapshotWireSize];
    for (auto _ : state) {
        shell::PackGameSnapshot(snapshot, bytes);
        snapshot = shell::UnpackGameSnapshot(bytes);
        benchmark::DoNotOptimize(snapshot);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SnapshotRoundTrip);

// Sending through a real socket pair and receiving on the other end, as a client and its lobby do.
void SocketPairShotMessages(benchmark::State& state) {
    auto [clientEnd, lobbyEnd] = platform::LobbySocket::Pair();
    shell::LobbyLink link;
    shell::AttachLobbySocket(link, std::move(clientEnd));
    shell::SetLobbyIdentity(link, "Ann", false);
    size_t received = 0;
    for (auto _ : state) {
        shell::SendShot(link, physics::ShotInput{});
        lobbyEnd.ReceivePending([&](const uint8_t*, size_t n) { received += n; });
    }
    benchmark::DoNotOptimize(received);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SocketPairShotMessages);

}  // namespace
