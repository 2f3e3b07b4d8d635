#pragma once
// The built-in player (BRIGHTLEA_AUTOPLAY=1): on the local player's turns it picks a club, aims and
// swings with a human hand's timing errors, through the same controls a player uses. It never
// changes the match state itself.

namespace shell {

struct Client;

// Every frame of Playing and Swing.
void RunAutoplay(Client& client);

}  // namespace shell
