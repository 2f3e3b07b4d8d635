#pragma once
// The state log (BRIGHTLEA_STATE_LOG): one line per applied shot result and per hole end, with
// every float as its exact bits, so that the logs of all clients of a match can be compared.

#include <string>

#include "game/rules/match_state.h"

namespace shell {

struct Client;

// The line for the shot just applied; replayRest is where this client's own simulation of the
// shot put the ball.
std::string ShotLogLine(const rules::MatchState& match, platform::Vec3 replayRest);
std::string HoleEndLogLine(const rules::MatchState& match);

// Append to the client's log file, when it has one.
void WriteShotLine(Client& client);
void WriteHoleEndLine(Client& client);

}  // namespace shell
