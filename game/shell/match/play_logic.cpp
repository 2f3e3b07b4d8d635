#include "game/shell/match/play_logic.h"

#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/swing.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

bool TurnIsLocalAndReady(const rules::MatchState& m) {
    if (m.localSlot == rules::kNoPlayer || m.shooter != m.localSlot) {
        return false;
    }
    for (int p = 0; p < m.options.playerCount && p < rules::kMaxPlayers; ++p) {
        if (!m.slots[p].ready) {
            return false;
        }
    }
    return true;
}

void ActivateTurn(Client& client) {
    TurnClock& turn = client.turn;
    turn.active = true;
    turn.startMs = client.clock.NowMs();
    turn.shotMade = false;
    turn.warned = false;
    turn.timedOut = false;
}

void WatchTurnTime(Client& client) {
    TurnClock& turn = client.turn;
    rules::MatchState& m = client.match;
    const uint32_t elapsed = client.clock.NowMs() - turn.startMs;
    if (elapsed >= kTurnWarningMs && !turn.warned) {
        turn.warned = true;
        PlayGameSound(client, present::GameSound::Notify);
        ShowSystemLine(client, MatchText(client, kStringTimeWarning).text);
    }
    if (elapsed >= kTurnTimeOutMs && !turn.timedOut) {
        turn.timedOut = true;
        if (m.slots[m.localSlot].timeOuts >= kTimeOutsBeforeLeaving) {
            SendGameEnd(client.lobby);
            EndGame(client);
            return;
        }
        PlayGameSound(client, present::GameSound::Notify);
        ShowSystemLine(client, MatchText(client, kStringTimedOut).text);
        SendTimeOut(client.lobby, static_cast<uint8_t>(m.localSlot));
    }
}

}  // namespace

void RunPlaying(Client& client) {
    const bool ready = TurnIsLocalAndReady(client.match);
    if (!ready) {
        client.turn.active = false;
        return;
    }
    if (!client.turn.active) {
        ActivateTurn(client);
    }
    if (client.turn.shotMade) {
        StartSwing(client, false);  // the time-out swings for the player
        return;
    }
    if (client.match.options.playerCount >= 2) {
        WatchTurnTime(client);
    }
}

}  // namespace shell
