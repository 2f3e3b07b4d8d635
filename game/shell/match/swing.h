#pragma once
// The local shooter's swing: the gauge started by the swing button (or by a time-out), the two
// clicks, and the shot computed and sent when the second click comes or the marker runs out.

#include <cstdint>

namespace shell {

struct Client;

// The shooter's impact error travels in the shot message's spare byte in sixteenths, rounded up,
// so that every client's bounce reads the same value and a comparison with a whole or half yard
// gives the same answer as the shooter's exact value would.
uint8_t ImpactErrorByte(float impactError);
float ImpactErrorFromByte(uint8_t byte);

// pressed: the player pressed the swing button (a short random delay, and the swing counts as
// started for conceding); otherwise a time-out forced the swing.
void StartSwing(Client& client, bool pressed);
void RunSwing(Client& client);
void SwingClick(Client& client);
// The built-in player's click, read at the moment its hand aimed at. At a high time scale one
// frame spans several gauge units, so a click read at the frame's time would miss by that much.
void SwingClickAt(Client& client, uint32_t clickMs);

}  // namespace shell
