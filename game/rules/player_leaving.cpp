#include "game/rules/player_leaving.h"

#include <algorithm>

namespace rules {

namespace {

// Vegas hands each remaining player at most this many stakes of the leaver's balls.
constexpr int32_t kVegasStakesPerPlayer = 4;
// On the first hole a team match may be abandoned without payment until this many shots are played.
constexpr int32_t kTeamFreeShots = 4;
// While fewer shots than this have been played, the hole is still in its tee shots.
constexpr int32_t kTeeShots = 4;

int PlayerCount(const RuleOptions& options) {
    return std::clamp<int>(options.playerCount, 0, kMaxPlayers);
}

bool OnFirstHole(const MatchRules& match, const RuleOptions& options) {
    return match.hole <= options.startHole;
}

// The leaver's entry leaves the tee order; the others keep their order with their new numbers.
void RepairTeeOrder(MatchRules& match, int count, int leaver) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const int slot = match.teeOrder[i];
        if (slot != leaver) {
            match.teeOrder[kept++] = static_cast<uint8_t>(slot > leaver ? slot - 1 : slot);
        }
    }
    for (int i = kept; i < kMaxPlayers; ++i) {
        match.teeOrder[i] = static_cast<uint8_t>(i);
    }
}

template <typename T>
void CloseGap(T (&items)[kMaxPlayers], int leaver) {
    for (int p = leaver; p + 1 < kMaxPlayers; ++p) {
        items[p] = items[p + 1];
    }
    items[kMaxPlayers - 1] = T{};
}

}  // namespace

LeaverStake TakeLeaverStake(MatchRules& match, const RuleOptions& options, int leaver, int shooter) {
    const PlayerRecord& player = match.players[leaver];
    LeaverStake stake;
    stake.balls = std::max(player.balance, 0);
    if (match.turnCounter < kTeeShots && player.strokes > 0 && leaver != shooter && match.turnCounter > 0) {
        --match.turnCounter;
    }
    stake.noPenalty = OnFirstHole(match, options) && player.strokes < 2;
    return stake;
}

int SlotAfterLeaving(int slot, int leaver) {
    if (slot == leaver) {
        return kNoPlayer;
    }
    return slot > leaver ? slot - 1 : slot;
}

void RemovePlayer(rules::MatchState& m, int leaver) {
    MatchRules& match = m.rules;
    RepairTeeOrder(match, PlayerCount(m.options), leaver);
    CloseGap(match.players, leaver);
    CloseGap(m.slots, leaver);
    m.options.playerCount = std::max(PlayerCount(m.options) - 1, 0);
    match.nearestWinner = SlotAfterLeaving(match.nearestWinner, leaver);
    match.longestWinner = SlotAfterLeaving(match.longestWinner, leaver);
    m.shooter = SlotAfterLeaving(m.shooter, leaver);
    m.timeOutSlot = SlotAfterLeaving(m.timeOutSlot, leaver);
    if (m.localSlot != kNoPlayer) {
        m.localSlot = SlotAfterLeaving(m.localSlot, leaver);
    }
    if (m.shooter != kNoPlayer) {
        m.shot.player = static_cast<uint8_t>(m.shooter);
    }
}

LeaverPayout PayLeaverStake(MatchRules& match, const RuleOptions& options, const LeaverStake& stake) {
    LeaverPayout out;
    const int count = PlayerCount(options);
    if (options.stake < 1 || count < 1) {
        return out;
    }
    if (options.gameMode == kModeVegas) {
        int32_t left = stake.balls;
        for (int p = 0; p < count; ++p) {
            const int32_t share = stake.noPenalty ? 0 : std::min(left, kVegasStakesPerPlayer * options.stake);
            if (share > 0) {
                match.players[p].balance += share;
                left -= share;
                out.shares[p] = share;
                out.sharesTotal += share;
            }
        }
        return out;
    }
    out.toPot = stake.noPenalty ? 0 : std::min(stake.balls, options.stake);
    match.pot += out.toPot;
    if (count == 1 && match.pot > 0) {
        out.potToLast = match.pot;
        match.players[0].balance += match.pot;
        match.pot = 0;
    }
    return out;
}

TeamSettlement SettleTeamLeaving(MatchRules& match, const RuleOptions& options, int leaver) {
    TeamSettlement out;
    const bool leaverSideFirst = leaver < 2;
    out.payers[0] = leaverSideFirst ? 0 : 2;
    out.payers[1] = out.payers[0] + 1;
    out.receivers[0] = leaverSideFirst ? 2 : 0;
    out.receivers[1] = out.receivers[0] + 1;
    out.settled = !(OnFirstHole(match, options) && match.turnCounter <= kTeamFreeShots);
    if (!out.settled) {
        return out;
    }
    int32_t total = 0;
    for (int i = 0; i < 2; ++i) {
        PlayerRecord& payer = match.players[out.payers[i]];
        out.payments[i] = std::min(std::max(payer.balance, 0), std::max(options.stake, 0));
        payer.balance -= out.payments[i];
        total += out.payments[i];
    }
    out.shares[0] = total / 2;
    out.shares[1] = total - total / 2;
    for (int i = 0; i < 2; ++i) {
        match.players[out.receivers[i]].balance += out.shares[i];
    }
    return out;
}

bool EveryoneHoled(const MatchRules& match, const RuleOptions& options) {
    const int count = PlayerCount(options);
    for (int p = 0; p < count; ++p) {
        if (!match.players[p].finishedHole) {
            return false;
        }
    }
    return count > 0;
}

}  // namespace rules
