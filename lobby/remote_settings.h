#pragma once
// What a host tells a joining Ravelin when the match starts: the match settings, the players in
// their order and the joiner's seat, as one JSON text. The joiner checks every field as strictly
// as Ravelin checks its own command line before it writes its client's "Start.ini" from them.

#include <string>
#include <vector>

#include "lobby/client_setup.h"
#include "lobby/ravelin_options.h"

namespace lobby {

struct RemoteMatch {
    MatchSettings match;
    std::vector<std::string> players;
    Seat seat;
};

std::string EncodeRemoteMatch(const RemoteMatch& remote);

// False with error set when the text is not JSON, a field is missing or of the wrong kind, a number
// is out of range or a name cannot be written into "Start.ini".
bool DecodeRemoteMatch(const std::string& text, RemoteMatch& out, std::string& error);

}  // namespace lobby
