#pragma once
// A player leaving a running match: what his stake is, how the other players' records close the
// gap he leaves, and who gets his balls. Every client applies the same steps when the lobby tells
// it who left, so all copies of the match stay equal.

#include <cstdint>

#include "game/rules/match_state.h"

namespace rules {

// What the leaver puts at stake, taken before his record is removed.
struct LeaverStake {
    int32_t balls = 0;       // his balls, never below 0
    bool noPenalty = false;  // he leaves on the first hole before his second stroke: it costs nothing
};

// Reads the leaver's stake. A tee shot he already played no longer counts among the hole's shots,
// so that the tee order goes on with the next player in it.
LeaverStake TakeLeaverStake(MatchRules& match, const RuleOptions& options, int leaver, int shooter);

// A slot number after `leaver` left: later slots move down by one, the leaver's own becomes
// kNoPlayer.
int SlotAfterLeaving(int slot, int leaver);

// Removes the leaver from the match: every per-slot record after his moves down by one, the tee
// order keeps the others in their order, the contest winners are renumbered and the player count
// drops. The current shooter, the local slot and the shot record's player are renumbered; a
// shooter who left becomes kNoPlayer. The driver stays slot 0.
void RemovePlayer(rules::MatchState& match, int leaver);

// Where the leaver's balls went (after RemovePlayer).
struct LeaverPayout {
    int32_t toPot = 0;                 // stroke play and skins: into the pot
    int32_t potToLast = 0;             // the only player left took the pot
    int32_t shares[kMaxPlayers] = {};  // Vegas: to each remaining slot
    int32_t sharesTotal = 0;
};

// Pays the leaver's stake when the match is played for balls: into the pot in stroke play and
// skins (the last player left takes the pot), to the remaining players in turn in Vegas.
LeaverPayout PayLeaverStake(MatchRules& match, const RuleOptions& options, const LeaverStake& stake);

// A team match ends when a player leaves; his side pays the other side.
struct TeamSettlement {
    bool settled = false;  // false on the first hole with at most four shots played: nobody pays
    int payers[2] = {};
    int receivers[2] = {};
    int32_t payments[2] = {};  // what each payer paid
    int32_t shares[2] = {};    // what each receiver got
};

TeamSettlement SettleTeamLeaving(MatchRules& match, const RuleOptions& options, int leaver);

// Every player still in the match has finished the hole.
bool EveryoneHoled(const MatchRules& match, const RuleOptions& options);

}  // namespace rules
