#include "game/rules/contests.h"

#include <algorithm>

#include "game/core/surface_kind.h"

namespace rules {

namespace {

constexpr float kNotACandidate = 500.0f;

bool ContestHeld(const MatchRules& match, const RuleOptions& options) {
    const int count = options.playerCount;
    if (count < 2 || count > kMaxPlayers || match.turnCounter != count) {
        return false;
    }
    if (options.gameMode != kModeSkins && options.gameMode != kModeVegas) {
        return false;
    }
    if (options.gameLevel >= 2 || options.stake == 0) {
        return false;
    }
    for (int p = 0; p < count; ++p) {
        if (match.players[p].finishedHole) {
            return false;
        }
    }
    return true;
}

// Strokes a player has played, leaving out the one just counted for the turn being prepared.
int StrokesPlayed(const MatchRules& match, const RuleOptions& options, int player, int shooter) {
    int strokes = match.players[player].strokes;
    const bool startedNow = player == shooter || (options.teamPlay && PartnerOf(player) == shooter);
    return startedNow ? strokes - 1 : strokes;
}

// The candidates are the balls lying on the given surface after one stroke; the one nearest the
// pin wins, the lower slot on a tie.
int NearestCandidate(const MatchRules& match, const RuleOptions& options, int shooter, uint8_t surface) {
    int winner = kNoPlayer;
    float best = kNotACandidate;
    for (int p = 0; p < options.playerCount; ++p) {
        const PlayerRecord& player = match.players[p];
        if (player.surface != surface || StrokesPlayed(match, options, p, shooter) != 1) {
            continue;
        }
        const float distance = BallToPin(match, p);
        if (winner == kNoPlayer || distance < best) {
            best = distance;
            winner = p;
        }
    }
    return winner;
}

int RunContest(MatchRules& match, const RuleOptions& options, int shooter, bool option, int par,
               uint8_t surface, int32_t& winner) {
    if (!option || match.par != par || !ContestHeld(match, options)) {
        return kNoPlayer;
    }
    winner = NearestCandidate(match, options, shooter, surface);
    return winner;
}

}  // namespace

int CheckNearest(MatchRules& match, const RuleOptions& options, int shooter) {
    return RunContest(match, options, shooter, options.optNear, 3, core::kSurfaceGreen, match.nearestWinner);
}

int CheckLongest(MatchRules& match, const RuleOptions& options, int shooter) {
    return RunContest(match, options, shooter, options.optLongest, 5, core::kSurfaceFairway,
                      match.longestWinner);
}

}  // namespace rules
