#include "game/rules/settlement.h"

#include <algorithm>

namespace rules {

namespace {

int PlayerCount(const RuleOptions& options) {
    return std::clamp<int>(options.playerCount, 0, kMaxPlayers);
}

bool EveryoneFinished(const MatchRules& match, int count) {
    for (int p = 0; p < count; ++p) {
        if (!match.players[p].finishedHole) {
            return false;
        }
    }
    return count > 0;
}

// Strokes for skins and Vegas: a contest winner who made par or better gets one stroke back.
void AdjustedStrokes(const MatchRules& match, const RuleOptions& options, int count, int adjusted[]) {
    for (int p = 0; p < count; ++p) {
        adjusted[p] = match.players[p].strokes;
    }
    const auto bonus = [&](bool option, int winner) {
        if (option && winner >= 0 && winner < count && match.players[winner].strokes <= match.par) {
            --adjusted[winner];
        }
    };
    bonus(options.optNear, match.nearestWinner);
    bonus(options.optLongest, match.longestWinner);
}

void Move(PlayerRecord& from, PlayerRecord& to, int32_t amount) {
    from.balance -= amount;
    from.holeDelta -= amount;
    to.balance += amount;
    to.holeDelta += amount;
}

// Everyone stakes into the pot before the last hole's winners are paid; whoever is short pays what
// he has.
void Ante(MatchRules& match, const RuleOptions& options, int count) {
    for (int p = 0; p < count; ++p) {
        PlayerRecord& player = match.players[p];
        player.balance = std::max(player.balance, 0);
        const int32_t payment = std::min(player.balance, std::max(options.stake, 0));
        player.balance -= payment;
        player.holeDelta -= payment;
        match.pot += payment;
    }
}

// The pot goes in equal parts to the players with the best score (higher is better); the
// lowest-index winner also gets what is left over.
template <typename Score>
void PayPotToBest(MatchRules& match, int count, Score score) {
    int32_t best = score(0);
    for (int p = 1; p < count; ++p) {
        best = std::max(best, score(p));
    }
    int winners = 0;
    for (int p = 0; p < count; ++p) {
        winners += score(p) == best ? 1 : 0;
    }
    if (match.pot <= 0) {
        return;
    }
    const int32_t share = match.pot / winners;
    int32_t remainder = match.pot % winners;
    for (int p = 0; p < count; ++p) {
        if (score(p) == best) {
            match.players[p].balance += share + remainder;
            match.players[p].holeDelta += share + remainder;
            remainder = 0;
        }
    }
    match.pot = 0;
}

void SettleStrokePlay(MatchRules& match, const RuleOptions& options, int count) {
    Ante(match, options, count);
    PayPotToBest(match, count, [&](int p) { return -match.players[p].totalStrokes; });
}

void SettleSkins(MatchRules& match, const RuleOptions& options, int count, const int adjusted[],
                 bool lastHole) {
    for (int p = 0; p < count; ++p) {
        int beaten = 0;
        for (int q = 0; q < count; ++q) {
            beaten += adjusted[q] < adjusted[p] ? 1 : 0;
        }
        match.players[p].points += count - 1 - beaten;
    }
    if (lastHole) {
        Ante(match, options, count);
        PayPotToBest(match, count, [&](int p) { return match.players[p].points; });
    }
}

// Every worse player pays every better one the difference in strokes times the stake, or all he
// has left. Better-placed players are paid first.
void SettleVegas(MatchRules& match, const RuleOptions& options, int count, const int adjusted[]) {
    int order[kMaxPlayers] = {0, 1, 2, 3};
    std::stable_sort(order, order + count, [&](int a, int b) { return adjusted[a] < adjusted[b]; });
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < count; ++j) {
            const int a = order[i];
            const int b = order[j];
            if (adjusted[a] >= adjusted[b]) {
                continue;
            }
            const int64_t owed = static_cast<int64_t>(adjusted[b] - adjusted[a]) * std::max(options.stake, 0);
            const int32_t available = std::max(match.players[b].balance, 0);
            Move(match.players[b], match.players[a],
                 static_cast<int32_t>(std::min<int64_t>(owed, available)));
        }
    }
}

// Each change is reported once, by the client of the biggest winner (player 0 if nobody gained).
void ReportChanges(const MatchRules& match, int count, int localSlot, RuleReports& reports) {
    int reporter = 0;
    int32_t best = 0;
    for (int p = 0; p < count; ++p) {
        if (match.players[p].holeDelta > best) {
            best = match.players[p].holeDelta;
            reporter = p;
        }
    }
    if (reporter != localSlot) {
        return;
    }
    for (int p = 0; p < count; ++p) {
        if (match.players[p].holeDelta != 0) {
            reports.AddMoney(p, match.players[p].holeDelta, kMoneySettlement);
        }
    }
}

}  // namespace

void SettleHole(MatchRules& match, const RuleOptions& options, int localSlot, RuleReports& reports) {
    const int count = PlayerCount(options);
    if (match.holeSettled || !EveryoneFinished(match, count)) {
        return;
    }
    match.holeSettled = 1;
    reports.holeFinished = true;
    for (PlayerRecord& player : match.players) {
        player.holeDelta = 0;
    }

    const bool lastHole = match.hole == options.endHole;
    const bool betting = count >= 2 && options.gameLevel < 2 && options.stake >= 1;
    if (betting || match.pot > 0) {
        int adjusted[kMaxPlayers] = {};
        AdjustedStrokes(match, options, count, adjusted);
        if (options.gameMode == kModeStrokePlay && lastHole) {
            SettleStrokePlay(match, options, count);
        } else if (options.gameMode == kModeSkins) {
            SettleSkins(match, options, count, adjusted, lastHole);
        } else if (options.gameMode == kModeVegas) {
            SettleVegas(match, options, count, adjusted);
        }
    }
    ReportChanges(match, count, localSlot, reports);

    if (localSlot >= 0 && localSlot < count) {
        reports.sendHoleScore = true;
        reports.scoreHole = static_cast<uint8_t>(match.hole);
        reports.scoreStrokes = static_cast<uint8_t>(match.players[localSlot].strokes);
    }
    reports.sendGameEnd = lastHole;
}

}  // namespace rules
