#include "game/rules/concede.h"

namespace rules {

bool GiveAllowed(const MatchRules& match, const RuleOptions& options, int localSlot,
                 const physics::ShotInput& current) {
    const int count = options.playerCount;
    const int shooter = current.player;
    if (!options.optGive || count < 2 || count > kMaxPlayers) {
        return false;
    }
    if (options.gameMode != kModeSkins && options.gameMode != kModeVegas) {
        return false;
    }
    if (!IsPlayer(options, localSlot) || !IsPlayer(options, shooter) || localSlot == shooter) {
        return false;
    }
    if (match.players[localSlot].concedeVote || match.players[shooter].finishedHole) {
        return false;
    }
    for (int p = 0; p < count; ++p) {
        if (p == shooter) {
            continue;
        }
        if (!match.players[p].finishedHole || match.players[p].strokes > match.players[shooter].strokes) {
            return false;
        }
    }
    return current.pinDistance <= kGiveDistance;
}

ConcedeOutcome ApplyConcedeVote(MatchRules& match, const RuleOptions& options, int voter, int localSlot,
                                bool swingStarted, bool concedeAllowed, physics::ShotInput& current) {
    ConcedeOutcome outcome;
    if (!IsPlayer(options, voter)) {
        return outcome;
    }
    match.players[voter].concedeVote = 1;
    if (localSlot != current.player || swingStarted) {
        return outcome;
    }
    outcome.announceGiver = true;
    int votes = 0;
    for (int p = 0; p < options.playerCount && p < kMaxPlayers; ++p) {
        votes += match.players[p].concedeVote ? 1 : 0;
    }
    if (votes >= options.playerCount - 1 && concedeAllowed) {
        outcome.conceded = true;
        current.ballPos = match.pin;
        current.finished = 1;
    }
    return outcome;
}

}  // namespace rules
