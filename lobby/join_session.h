#pragma once
// Ravelin --join: takes a seat in a match hosted on another machine. It connects to the host,
// proves the join code, waits for the match to start, writes its client's "Start.ini" from the
// host's settings, starts the client here and relays between the client and the host until the
// client has ended.

#include <cstdint>
#include <string>

#include "lobby/ravelin_options.h"

namespace lobby {

// Splits "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT" (a bare IPv6 address has more than one colon
// and no port). False when the port is not a number from 1 to 65535 or the host is empty.
bool SplitHostPort(const std::string& text, std::string& host, uint16_t& port);

// Runs the joining side; returns the exit status (see RavelinHelpText).
int RunJoin(const RavelinOptions& options);

}  // namespace lobby
