#pragma once
// The per-state work of a frame and the state changes it makes.

#include "game/shell/client.h"

namespace shell {

void RunStateWork(Client& client);

}  // namespace shell
