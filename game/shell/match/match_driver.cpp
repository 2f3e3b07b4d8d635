#include "game/shell/match/match_driver.h"

#include "game/rules/next_turn.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_setup.h"

namespace shell {

namespace {

void AnnounceWind(Client& client, physics::Wind wind) {
    SendWind(client.lobby, wind.windDirection, wind.windSpeed);
    client.match.windSentMs = client.clock.NowMs();
}

}  // namespace

void DriverStartNextTurn(Client& client) {
    rules::MatchState& m = client.match;
    if (m.nextHoleSent) {
        return;
    }
    if (!m.holeFinished) {
        physics::ShotWorld world;
        rules::DriverView view;
        view.world = MakeShotWorld(client, world) ? &world : nullptr;
        view.skyCount = client.config.skyCount;
        view.wind = m.wind;
        view.lastContactSurface = m.lastContactSurface;
        view.localSlot = m.localSlot;
        view.skippedPlayer = m.timeOutSlot;
        const rules::TurnAnnouncement next =
            rules::NextTurnStep(m.rules, m.options, m.marks, m.shot, view, client.rand);
        if (!next.holeOver) {
            if (next.pinPlaced) {
                m.sky = next.pin.sky;
                SendPin(client.lobby, next.pin.pin, next.pin.sky);
            }
            AnnounceWind(client, next.wind);
            SendTurnStart(client.lobby, next.turn);
            return;
        }
    }
    m.nextHoleSent = true;
    SendNextHole(client.lobby, static_cast<uint8_t>(m.localSlot));
}

void DriverDriftWind(Client& client) {
    rules::MatchState& m = client.match;
    const uint32_t now = client.clock.NowMs();
    if (physics::WindDriftDue(m.windSentMs, now)) {
        AnnounceWind(client, physics::WindStep(m.wind, false, client.rand));
    }
}

}  // namespace shell
