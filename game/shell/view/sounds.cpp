#include "game/shell/view/sounds.h"

#include "game/shell/client.h"

namespace shell {

void InitSoundSystem(Client& client) {
    present::InitSoundSystem(client.sound);
}

void PlayGameSound(Client& client, present::GameSound id) {
    present::PlayGameSound(client.sound, id);
}

void StartBackgroundSound(Client& client) {
    const char* wanted = client.config.backgroundLoop;
    if (client.sound.enabled && wanted[0] != '\0' && present::BackgroundSoundFile(client.sound) != wanted) {
        present::ReplaceBackgroundSound(client.sound, wanted);
    }
    present::PlayGameSound(client.sound, present::GameSound::Background);
}

void StopBackgroundSound(Client& client) {
    present::StopBackgroundSound(client.sound);
}

void ReleaseSoundSystem(Client& client) {
    present::ReleaseSoundSystem(client.sound);
}

}  // namespace shell
