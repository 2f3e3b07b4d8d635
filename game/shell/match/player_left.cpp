#include "game/shell/match/player_left.h"

#include <cstring>

#include "game/rules/concede.h"
#include "game/rules/player_leaving.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/game_end.h"
#include "game/shell/match/match_driver.h"
#include "game/shell/match/match_lines.h"
#include "game/shell/match/scene_sync.h"
#include "game/shell/match/shot_end.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

constexpr int kStringTeamSettled = 4;
constexpr int kStringPlayerLeft = 20;
constexpr int kStringTeamPays = 21;
constexpr int kStringTeamReceives = 22;
constexpr int kStringLeaverPaidPot = 26;
constexpr int kStringLeaverShare = 27;
constexpr int kStringPotToLastPlayer = 41;
// The number the team settlement lines show.
constexpr int32_t kTeamSettlementShown = 10;

struct LeaverName {
    char text[kPlayerNameCapacity] = {};
};

bool IsDriver(const Client& client) {
    return client.match.localSlot == 0;
}

// The launch description of the players closes the gap as the match records do.
void RemovePlayerInfo(LaunchConfig& config, int leaver) {
    for (int p = leaver; p + 1 < kPlayerSlots; ++p) {
        config.players[p] = config.players[p + 1];
    }
    config.players[kPlayerSlots - 1] = PlayerInfo{};
    config.match.maxPlayers = config.match.maxPlayers > 0 ? config.match.maxPlayers - 1 : 0;
    if (!config.match.localIsObserver) {
        config.match.localSlot = rules::SlotAfterLeaving(config.match.localSlot, leaver);
    }
}

GameText TextWithBalls(const Client& client, int index, const char* who, int32_t balls) {
    const GameText named = MatchText(client, index, kPlaceholderId, who);
    return ReplacePlaceholder(named.text, kPlaceholderBallCount, balls);
}

// Stroke play and skins: the driver reports the leaver's payment into the pot and, when only one
// player is left, the pot going to him.
void ReportPotPayment(Client& client, const char* leaver, const rules::LeaverPayout& payout) {
    if (!IsDriver(client)) {
        return;
    }
    if (payout.toPot >= 1) {
        SendBallChange(client.lobby, leaver, -payout.toPot, rules::kMoneySettlement);
    }
    if (payout.potToLast >= 1) {
        SendBallChange(client.lobby, SlotName(client, 0), payout.potToLast, rules::kMoneySettlement);
    }
    if (client.match.options.playerCount == 1) {
        SendQuietNotice(client.lobby, MatchText(client, kStringPotToLastPlayer).text);
    } else if (payout.toPot >= 1) {
        SendQuietNotice(client.lobby, TextWithBalls(client, kStringLeaverPaidPot, leaver, payout.toPot).text);
    }
}

// Vegas: each player reports his own share; the driver reports what the leaver paid in all.
void ReportShares(Client& client, const char* leaver, const rules::LeaverPayout& payout) {
    const int local = client.match.localSlot;
    if (rules::IsPlayer(client.match.options, local) && payout.shares[local] > 0) {
        SendBallChange(client.lobby, SlotName(client, local), payout.shares[local], rules::kMoneySettlement);
        ShowSystemLine(client, TextWithBalls(client, kStringLeaverShare, leaver, payout.shares[local]).text);
    }
    if (IsDriver(client) && payout.sharesTotal != 0) {
        SendBallChange(client.lobby, leaver, -payout.sharesTotal, rules::kMoneySettlement);
    }
}

void SettleLeaverStake(Client& client, const char* leaver, const rules::LeaverStake& stake) {
    rules::MatchState& m = client.match;
    if (m.options.stake < 1 || m.options.playerCount < 1) {
        return;
    }
    const rules::LeaverPayout payout = rules::PayLeaverStake(m.rules, m.options, stake);
    if (m.options.gameMode == rules::kModeVegas) {
        ReportShares(client, leaver, payout);
    } else {
        ReportPotPayment(client, leaver, payout);
    }
}

// The driver concedes a short putt that only the leaver's vote was missing for.
void ConcedeForLeaver(Client& client) {
    rules::MatchState& m = client.match;
    if (!IsDriver(client) || !m.concedeAllowed || !rules::IsPlayer(m.options, m.shooter) ||
        m.options.playerCount < 2) {
        return;
    }
    int votes = 0;
    for (int p = 0; p < m.options.playerCount; ++p) {
        votes += m.rules.players[p].concedeVote != 0 ? 1 : 0;
    }
    const rules::PlayerRecord& shooter = m.rules.players[m.shooter];
    if (votes < m.options.playerCount - 1 || shooter.finishedHole ||
        m.shot.pinDistance > rules::kGiveDistance) {
        return;
    }
    m.conceded = true;
    m.concedeAllowed = false;
    AnnounceToAll(client,
                  MatchText(client, kStringPuttConceded, kPlaceholderId, SlotName(client, m.shooter)).text);
    m.shot.ballPos = m.rules.pin;
    m.shot.finished = 1;
    SendShotEnd(client.lobby, m.shot);
}

// The turn or the hole goes on without the leaver.
void ContinueWithoutLeaver(Client& client, int leaver, bool shooterLeft, bool holeWasFinished) {
    rules::MatchState& m = client.match;
    const bool allHoled = rules::EveryoneHoled(m.rules, m.options);
    if (allHoled && !m.holeFinished) {
        EvaluateHoleNow(client);  // the leaver was the last one still playing the hole
        return;
    }
    if (m.shotShown) {
        // The driver announced what follows the shot before it heard of the leaver; unless the
        // driver itself left, that announcement is still on its way and names the old slots.
        if (leaver != 0 && !holeWasFinished) {
            ++m.staleTurnStarts;
        }
        if (IsDriver(client) && (!allHoled || leaver == 0)) {
            DriverStartNextTurn(client);
        }
        return;
    }
    if (shooterLeft) {
        SetGameState(client, GameState::Waiting);
        if (IsDriver(client)) {
            DriverStartNextTurn(client);
        }
    } else {
        RequestFullRedraw(client);
    }
    ConcedeForLeaver(client);
}

// In a team match a player leaving ends the match for everyone: his side pays the other side.
void EndTeamMatch(Client& client, int leaver) {
    rules::MatchState& m = client.match;
    const rules::TeamSettlement team = rules::SettleTeamLeaving(m.rules, m.options, leaver);
    const int local = m.localSlot;
    for (int i = 0; team.settled && i < 2; ++i) {
        if (local == team.receivers[i]) {
            SendBallChange(client.lobby, SlotName(client, local), team.shares[i], rules::kMoneySettlement);
            SendBallChange(client.lobby, SlotName(client, team.payers[i]), -team.payments[i],
                           rules::kMoneySettlement);
            ShowSystemLine(client, MatchText(client, kStringTeamSettled).text);
            ShowSystemLine(client, ReplacePlaceholder(MatchText(client, kStringTeamReceives).text,
                                                      kPlaceholderBallCount, kTeamSettlementShown)
                                       .text);
        } else if (local == team.payers[i]) {
            ShowSystemLine(client, MatchText(client, kStringTeamSettled).text);
            ShowSystemLine(client, ReplacePlaceholder(MatchText(client, kStringTeamPays).text,
                                                      kPlaceholderBallCount, kTeamSettlementShown)
                                       .text);
        }
    }
    StartGameEnding(client, kTeamSettlementMs);
}

}  // namespace

void HandlePlayerLeft(Client& client, const LobbyPacket& packet) {
    rules::MatchState& m = client.match;
    const int leaver = SlotByName(client, packet.recipient);
    if (leaver == rules::kNoPlayer) {
        return;
    }
    if (m.options.teamPlay) {
        EndTeamMatch(client, leaver);
        return;
    }
    LeaverName name;
    std::memcpy(name.text, client.config.players[leaver].name, sizeof(name.text));
    name.text[kPlayerNameCapacity - 1] = '\0';
    const bool shooterLeft = leaver == m.shooter;
    const bool holeWasFinished = m.holeFinished;
    const rules::LeaverStake stake = rules::TakeLeaverStake(m.rules, m.options, leaver, m.shooter);
    rules::RemovePlayer(m, leaver);
    RemovePlayerInfo(client.config, leaver);
    m.playerLeftThisTurn = true;

    ShowSystemLine(client, MatchText(client, kStringPlayerLeft, kPlaceholderId, name.text).text);
    PlayGameSound(client, present::GameSound::Notify);
    SettleLeaverStake(client, name.text, stake);
    ShowMatchInScene(client);
    if (m.options.playerCount >= 1) {
        ContinueWithoutLeaver(client, leaver, shooterLeft, holeWasFinished);
    }
}

}  // namespace shell
