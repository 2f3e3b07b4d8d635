#pragma once
// Whether a received message's fields make sense for this match. Messages from other clients are
// not trusted: one that names a slot beyond the players, a hole beyond the last or a position that
// is not a number is dropped with a line on standard error and never applied.

#include "game/physics/shot_input.h"
#include "game/rules/match_state.h"
#include "platform/vecmath.h"

namespace shell {

struct LobbyPacket;

bool FinitePoint(platform::Vec3 p);
bool ShotRecordUsable(const rules::MatchState& match, const physics::ShotInput& shot);
bool SlotInMatch(const rules::MatchState& match, int slot);
// Checks the fields of a game message the match flow handles; reports a refused one.
bool MessageFieldsUsable(const rules::MatchState& match, const LobbyPacket& packet);

}  // namespace shell
