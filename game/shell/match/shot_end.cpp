#include "game/shell/match/shot_end.h"

#include <algorithm>
#include <cstring>

#include "game/rules/settlement.h"
#include "game/rules/stroke_rules.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/state_log.h"
#include "game/shell/view/hud_screens.h"

namespace shell {

namespace {

void SendFinalScoreReport(Client& client) {
    const rules::MatchState& m = client.match;
    FinalScore scores[kPlayerSlots];
    for (int p = 0; p < kPlayerSlots; ++p) {
        std::memcpy(scores[p].name, client.config.players[p].name, kPlayerNameSize);
        scores[p].name[kPlayerNameSize - 1] = '\0';
        scores[p].present = p < m.options.playerCount ? 1 : 0;
        scores[p].totalStrokes = static_cast<uint16_t>(m.rules.players[p].totalStrokes & 0xFFFF);
    }
    SendFinalScores(client.lobby, static_cast<uint8_t>(m.startingPlayers), scores);
}

void SendRuleReports(Client& client, const rules::RuleReports& reports) {
    for (int i = 0; i < reports.moneyCount; ++i) {
        const rules::MoneyReport& money = reports.money[i];
        SendBallChange(client.lobby, SlotName(client, money.player), money.amount,
                       static_cast<rules::MoneyReason>(money.reason));
    }
    for (int i = 0; i < reports.noticeCount; ++i) {
        ShowSystemLine(client, MatchText(client, reports.notices[i]).text);
    }
    if (reports.sendHoleScore) {
        SendHoleReport(client.lobby, reports.scoreHole, reports.scoreStrokes);
    }
    if (reports.sendGameEnd) {
        SendFinalScoreReport(client);
    }
}

}  // namespace

void ApplyShotResult(Client& client) {
    rules::MatchState& m = client.match;
    physics::ShotWorld world;
    const bool haveWorld = MakeShotWorld(client, world);
    m.restedShot = m.shot;
    const rules::RuleReports reports =
        rules::ShotEnded(m.rules, m.options, m.shot, m.localSlot, m.spin, haveWorld ? &world : nullptr);
    m.holeFinished = m.rules.holeSettled != 0;
    SendRuleReports(client, reports);
    WriteShotLine(client);
    if (m.holeFinished) {
        WriteHoleEndLine(client);
    }
    SetGameState(client, GameState::ShotResult);
    DrawShotResult(client);
}

void EvaluateHoleNow(Client& client) {
    rules::MatchState& m = client.match;
    rules::RuleReports reports;
    rules::SettleHole(m.rules, m.options, m.localSlot, reports);
    m.holeFinished = m.rules.holeSettled != 0;
    SendRuleReports(client, reports);
    if (reports.holeFinished) {
        WriteHoleEndLine(client);
    }
    SetGameState(client, GameState::ShotResult);
    DrawShotResult(client);
}

}  // namespace shell
