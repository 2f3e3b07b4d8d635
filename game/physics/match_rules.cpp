#include "game/physics/match_rules.h"

#include <cmath>

namespace physics {

float BallToPin(const MatchRules& match, int player) {
    const platform::Vec3 ball = match.players[player].ballPos;
    const double dx = static_cast<double>(ball.x) - match.pin.x;
    const double dz = static_cast<double>(ball.z) - match.pin.z;
    return static_cast<float>(std::sqrt(dx * dx + dz * dz));
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

}  // namespace physics
