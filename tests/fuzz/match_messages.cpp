// Feeds arbitrary packets to the receive step of a client that is playing a small hand-built hole,
// and handles every game message it queued as the frame loop would: the checks, then the match
// state itself (turns, aims, shots simulated and ended, pins, wind, players leaving, votes).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "game/course/course_objects.h"
#include "game/course/terrain_grid.h"
#include "game/present/display.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_link.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/match_steps.h"
#include "game/shell/state_work.h"
#include "tests/course/model_fixtures.h"

namespace {

void BuildHole(course::HoleState& hole) {
    auto* model = new core::FnxModel;
    const auto hills = [](float x, float z) {
        return 4.0f + 2.0f * std::sin(x * 0.1f) * std::cos(z * 0.05f);
    };
    fixtures::AddHeightfield(*model, "GRE", -10, 190, 10, 210, 10, hills);
    fixtures::AddHeightfield(*model, "WTR", -40, 100, 0, 140, 8, hills);
    fixtures::AddHeightfield(*model, "FWY", -150, -90, 150, 690, 40, hills);
    fixtures::AddGroup(*model, "RSTtreeE",
                       {fixtures::V(-2, 0, 60, 0, 1), fixtures::V(2, 0, 60, 1, 1),
                        fixtures::V(-2, 9, 60, 0, 0), fixtures::V(2, 9, 60, 1, 0)},
                       {0, 1, 2, 2, 1, 3});
    hole.HoleModel.reset(model);
    hole.grid = course::BuildTerrainGrid(*model);
    course::PrepareObjects(*model, hole.grid, hole.objects);
    hole.TeePoint = {0, 6, 0};
    hole.DefaultAim = {0, 5, 120};
    hole.MapPinPoint = {0, 5, 200};
    hole.prepared = true;
}

std::unique_ptr<shell::Client> PlayingClient(uint8_t setup) {
    auto client = std::make_unique<shell::Client>();
    client->clock = platform::GameClock::Test(1000);
    shell::LaunchConfig& c = client->config;
    std::strcpy(c.options.language, "ENG");
    c.match.startHole = 1;
    c.match.endHole = 3;
    c.match.maxPlayers = 2 + (setup & 1);
    c.match.localSlot = (setup >> 1) & 1;
    c.match.gameMode = (setup >> 2) % 3;
    c.match.betting = (setup & 0x20) ? 5 : 0;
    c.match.teamPlay = 0;
    c.match.optGive = 1;
    const char* names[3] = {"Ann", "Bob", "Cid"};
    for (int p = 0; p < 3; ++p) {
        std::strcpy(c.players[p].name, names[p]);
        c.players[p].balls = 20;
    }
    c.hole.tee[1] = 0;
    c.hole.defaultAim[1] = 120;
    c.hole.pin[1] = 200;
    c.hole.par = 4;
    present::InitDisplay(client->display, nullptr, client->clock.NowMs());
    shell::SetLobbyIdentity(client->lobby, names[c.match.localSlot], false);
    shell::ResetMatch(*client);
    BuildHole(client->hole);
    shell::ResetPlayersForHole(*client);
    shell::SetGameState(*client, shell::GameState::Waiting);
    return client;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    std::unique_ptr<shell::Client> client = PlayingClient(data[0]);
    // Then packets, each after its length (u16): what the lobby delivered, one message at a time.
    for (size_t at = 1; at + 2 <= size;) {
        const size_t length = std::min<size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
        shell::LobbyReceive(client->lobby, data + at + 2, length);
        at += 2 + length;
    }
    shell::LobbyPacket packet;
    // What the client sends comes back to its own queue (no lobby), so the loop is bounded too.
    for (int handled = 0;
         handled < 64 && !client->shell.quitting &&
         shell::TakeGameMessage(client->lobby, client->config.match.waitingForSnapshot != 0, packet);
         ++handled) {
        client->clock.Advance(100);
        shell::HandleGameMessage(*client, packet);
    }
    shell::EndGame(*client);
    return 0;
}
