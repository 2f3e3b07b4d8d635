#include "game/rules/match_rules.h"

#include "game/core/geometry.h"

namespace rules {

float BallToPin(const MatchRules& match, int player) {
    return core::DistanceXZ(match.players[player].ballPos, match.pin);
}

void ResetRulesForHole(MatchRules& match, int hole, int par, platform::Vec3 teePoint) {
    match.hole = hole;
    match.par = par;
    match.turnCounter = 0;
    match.holeSettled = 0;
    match.nearestWinner = kNoPlayer;
    match.longestWinner = kNoPlayer;
    for (PlayerRecord& player : match.players) {
        player.strokes = 0;
        player.finishedHole = 0;
        player.holeDelta = 0;
        player.ballPos = teePoint;
        player.surface = 0;
        player.prevSurface = 0;
        player.club = 0;
        player.concedeVote = 0;
    }
}

}  // namespace rules
