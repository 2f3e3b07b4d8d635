#pragma once
// Setting the match up: once at start, and again for every hole.

#include "game/physics/shot_world.h"
#include "game/rules/match_state.h"
#include "game/shell/launch/launch_config.h"

namespace shell {

struct Client;

// Power shots a player gets for a match of this many holes.
int PowerShotAllowance(int holes);

rules::RuleOptions RuleOptionsFromConfig(const LaunchConfig& config);

// Starts the match: first hole, no totals, every player's balls from the match file.
void ResetMatchState(rules::MatchState& match, const LaunchConfig& config);

// Starts a hole whose settings are loaded: every ball on the tee, nothing played, nobody ready.
void ResetMatchForHole(rules::MatchState& match, const HoleSettings& hole, platform::Vec3 teePoint,
                       platform::Vec3 defaultAim, platform::Vec3 pinPoint);

// Turns the objects the ball collides with to face along the current shot's line of play, from the
// ball to the aim the turn began with: every client turns them alike, whatever its view does.
void FaceShotObjects(Client& client);

// The hole as the ball sees it; false when no hole is loaded.
bool MakeShotWorld(const Client& client, physics::ShotWorld& world);

}  // namespace shell
