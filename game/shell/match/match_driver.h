#pragma once
// The match driver's decisions, made once and announced to every client: the pin and sky of a
// hole, who plays next with which lie, the wind, and the next hole.

namespace shell {

struct Client;

// After a shot ended (or a hole was loaded): announces the next turn, or the next hole once
// everyone has finished. Does nothing once the next hole was asked for.
void DriverStartNextTurn(Client& client);
// While a player aims the wind drifts every few seconds.
void DriverDriftWind(Client& client);

}  // namespace shell
