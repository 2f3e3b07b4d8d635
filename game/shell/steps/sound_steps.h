#pragma once
// What the frame loop asks of the sound layer.

namespace shell {

struct Client;

void InitSoundSystem(Client& client);
void StartBackgroundSound(Client& client);
void ReleaseSoundSystem(Client& client);

}  // namespace shell
