#pragma once
// What the frame loop and the match flow ask of the sound layer.

#include "game/present/sound.h"

namespace shell {

struct Client;

// Opens the sound output and loads the game's sounds; without an output the game runs silently.
void InitSoundSystem(Client& client);
// Plays one of the game's sounds (ids outside the table are ignored).
void PlayGameSound(Client& client, present::GameSound id);
// Starts the hole's background loop, first changing it when the hole asks for another file.
void StartBackgroundSound(Client& client);
// Stops the background loop: the hole it belongs to is being left.
void StopBackgroundSound(Client& client);
void ReleaseSoundSystem(Client& client);

}  // namespace shell
