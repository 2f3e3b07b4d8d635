#pragma once
// What the shooter's controls do to the match: each action checks that it may act now, changes the
// shot record and announces the change.

#include "platform/vecmath.h"

namespace shell {

struct Client;

// The local player may act on the turn: his turn, everyone ready, aiming.
bool LocalTurnActive(const Client& client);

void PressSwingButton(Client& client);
// Chooses a club from the club menu (on the green the putter is forced) and announces it.
void ChooseClub(Client& client, int club);
// Aims at a point on the course and announces it.
void AimAt(Client& client, platform::Vec3 target);
void PressPowerShot(Client& client);
void PressConcede(Client& client);
void PressExit(Client& client);

}  // namespace shell
