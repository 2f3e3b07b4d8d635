// Nothing is read yet: the game starts with empty settings.
#include "game/shell/steps/config_steps.h"

#include "game/shell/client.h"

namespace shell {

int ReadLaunchConfig(Client&) {
    return 0;
}
void SetUpLanguageInput(Client&) {}
void ReadSwingTimingTable(Client&) {}
void CountSkyPictures(Client&) {}
void LoadHoleSettings(Client&) {}
void ReleaseWordFilter(Client&) {}

}  // namespace shell
