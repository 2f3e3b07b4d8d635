#pragma once
// The replay of a shot: every client simulates the shot it received and walks the ball's path at 15
// steps per second on the game clock, after the golfer's swing; the shooter's client then sends the
// shot's end.

#include <cstdint>

namespace shell {

struct Client;

inline constexpr uint32_t kReplayStepsPerSecond = 15;
// Steps the golfer's follow-through runs after the ball was struck.
inline constexpr int kFollowThroughSteps = 8;
// Steps of the water-splash animation.
inline constexpr int kSplashSteps = 10;

// Message 7 arrived: simulates the current shot (impactByte from the message) and starts its replay.
void StartReplay(Client& client, uint8_t impactByte);
void RunReplay(Client& client);

}  // namespace shell
