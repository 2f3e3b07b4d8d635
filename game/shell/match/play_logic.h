#pragma once
// The frame logic of the aiming state: the local turn becomes active once everyone is ready, the
// turn's time limit with its warning, and the swing a time-out forces.

#include <cstdint>

namespace shell {

struct Client;

inline constexpr uint32_t kTurnWarningMs = 50000;
inline constexpr uint32_t kTurnTimeOutMs = 60000;
// A player who lets this many turns run out leaves the match at the next one.
inline constexpr int kTimeOutsBeforeLeaving = 2;

void RunPlaying(Client& client);

}  // namespace shell
