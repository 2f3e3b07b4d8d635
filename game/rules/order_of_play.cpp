#include "game/rules/order_of_play.h"

#include <algorithm>

namespace rules {

namespace {

int PlayerCount(const RuleOptions& options) {
    return std::clamp<int>(options.playerCount, 1, kMaxPlayers);
}

bool FirstHole(const MatchRules& match, const RuleOptions& options) {
    return match.hole == options.startHole || match.hole <= 0 || match.hole > kMaxHoles;
}

// Fewest strokes on the previous hole tee off first; ties keep slot order.
void FixTeeOrder(MatchRules& match, const RuleOptions& options, int count) {
    for (int i = 0; i < kMaxPlayers; ++i) {
        match.teeOrder[i] = static_cast<uint8_t>(i);
    }
    if (FirstHole(match, options)) {
        return;
    }
    const int previous = HoleIndex(match.hole - 1);
    if (previous < 0) {
        return;
    }
    std::stable_sort(match.teeOrder, match.teeOrder + count, [&](uint8_t a, uint8_t b) {
        return match.players[a].scorecard[previous] < match.players[b].scorecard[previous];
    });
}

bool OthersFinished(const MatchRules& match, int count, int player) {
    for (int p = 0; p < count; ++p) {
        if (p != player && !match.players[p].finishedHole) {
            return false;
        }
    }
    return true;
}

// After the tee shots the ball farthest from the pin plays; a player who ran out of time waits
// until nobody else is left.
int FarthestFromPin(const MatchRules& match, int count, int skippedPlayer) {
    int chosen = -1;
    float farthest = -1.0f;
    for (int p = 0; p < count; ++p) {
        if (match.players[p].finishedHole) {
            continue;
        }
        float distance = BallToPin(match, p);
        if (p == skippedPlayer && !OthersFinished(match, count, p)) {
            distance = 0.0f;
        }
        if (distance > farthest) {
            farthest = distance;
            chosen = p;
        }
    }
    return chosen >= 0 ? chosen : 0;
}

int NextSide(const MatchRules& match, const RuleOptions& options) {
    const PlayerRecord& side0 = match.players[0];
    const PlayerRecord& side1 = match.players[2];
    if (match.turnCounter < 2) {
        int first = 0;
        if (!FirstHole(match, options)) {
            const int previous = HoleIndex(match.hole - 1);
            first = previous >= 0 && side1.scorecard[previous] < side0.scorecard[previous] ? 1 : 0;
        }
        return match.turnCounter == 0 ? first : 1 - first;
    }
    if (side0.finishedHole) {
        return 1;
    }
    if (side1.finishedHole) {
        return 0;
    }
    return BallToPin(match, 0) > BallToPin(match, 2) ? 0 : 1;
}

int NextTeamShooter(const MatchRules& match, const RuleOptions& options, int count) {
    const int side = NextSide(match, options);
    const int last = match.teamLastShooter[side];
    const int other = side * 2 + (last == side * 2 ? 1 : 0);
    // A side with one player left keeps playing its ball alone.
    return other < count ? other : side * 2;
}

}  // namespace

int NextShooter(MatchRules& match, const RuleOptions& options, int localSlot, int skippedPlayer) {
    const int count = PlayerCount(options);
    if (count == 1) {
        return localSlot >= 0 && localSlot < kMaxPlayers ? localSlot : 0;
    }
    if (options.teamPlay && count > 2) {
        return NextTeamShooter(match, options, count);
    }
    if (match.turnCounter == 0) {
        FixTeeOrder(match, options, count);
    }
    if (match.turnCounter < count) {
        return match.teeOrder[match.turnCounter];
    }
    return FarthestFromPin(match, count, skippedPlayer);
}

}  // namespace rules
