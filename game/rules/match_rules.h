#pragma once
// What the rules of a match keep: per-player strokes, scorecards, totals, money and ball, and the
// match-wide pot, contest winners and shot count. Every client keeps its own copy and changes it
// only through the rule functions, in the order the lobby delivers the messages, so all copies stay
// equal.

#include <cstdint>

#include "game/core/geometry.h"
#include "platform/vecmath.h"

namespace rules {

inline constexpr int kMaxPlayers = 4;
inline constexpr int kMaxHoles = 18;
inline constexpr int kNoPlayer = -1;

enum GameMode : int32_t {
    kModeStrokePlay = 0,
    kModeSkins = 1,
    kModeVegas = 2,
};

// The match options the rules read; the shell fills it from the launch configuration.
struct RuleOptions {
    int32_t gameMode = kModeStrokePlay;
    int32_t gameLevel = 0;
    int32_t stake = 0;  // points at stake per settlement; below 1 means no betting
    int32_t playerCount = 1;
    int32_t startHole = 0;
    int32_t endHole = 0;
    bool teamPlay = false;
    bool optNear = false;
    bool optLongest = false;
    bool optGive = false;
};

struct PlayerRecord {
    uint16_t strokes = 0;               // strokes on the current hole, penalties included
    uint8_t scorecard[kMaxHoles] = {};  // strokes of each hole, at HoleIndex(hole)
    int32_t overPar = 0;                // sum over finished holes of strokes minus par
    int32_t totalStrokes = 0;           // sum of strokes over finished holes
    int32_t finishedHole = 0;           // 1 when this player's hole is over
    int32_t balance = 0;                // the player's points, never below 0
    int32_t holeDelta = 0;              // money change on the current hole
    int32_t points = 0;                 // skins points over the game
    platform::Vec3 ballPos;             // where the ball lies
    uint8_t surface = 0;                // surface kind under the ball
    uint8_t prevSurface = 0;            // surface kind the previous shot was played from
    uint8_t club = 0;                   // club of the last stroke, offered again
    uint8_t concedeVote = 0;            // 1 once this player conceded the current putt
};

struct MatchRules {
    PlayerRecord players[kMaxPlayers];
    int32_t pot = 0;  // money carried in the game's pot
    int32_t nearestWinner = kNoPlayer;
    int32_t longestWinner = kNoPlayer;
    int32_t turnCounter = 0;  // shots played on this hole by all players
    int32_t hole = 0;         // current hole number
    int32_t par = 4;          // current hole's par
    int32_t holeSettled = 0;  // 1 once the finished hole has been settled
    uint8_t teeOrder[kMaxPlayers] = {0, 1, 2, 3};
    int32_t teamLastShooter[2] = {1, 3};  // who played each side's last stroke
    platform::Vec3 pin;
};

// Partners in team play: 0 with 1, 2 with 3.
inline int PartnerOf(int player) {
    return player ^ 1;
}

// The index of a hole in the per-hole arrays: holes are numbered from 1, the arrays from 0. -1 for
// a number outside 1-18.
inline int HoleIndex(int hole) {
    return hole >= 1 && hole <= kMaxHoles ? hole - 1 : -1;
}

inline bool IsPlayer(const RuleOptions& options, int player) {
    return player >= 0 && player < options.playerCount && player < kMaxPlayers;
}

// Horizontal distance from a player's ball to the pin.
float BallToPin(const MatchRules& match, int player);

// Start of a hole: strokes to 0, every ball on the tee, no contest winners, nothing settled.
void ResetRulesForHole(MatchRules& match, int hole, int par, platform::Vec3 teePoint);

}  // namespace rules
