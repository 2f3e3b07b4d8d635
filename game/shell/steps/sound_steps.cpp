// No sound yet: the game is silent.
#include "game/shell/steps/sound_steps.h"

#include "game/shell/client.h"

namespace shell {

void InitSoundSystem(Client&) {}
void StartBackgroundSound(Client&) {}
void ReleaseSoundSystem(Client&) {}

}  // namespace shell
