#include "game/shell/shutdown.h"

#include "game/shell/capture.h"
#include "game/shell/steps/chat_steps.h"
#include "game/shell/steps/config_steps.h"
#include "game/shell/view/hole_scene.h"
#include "game/shell/view/hud_screens.h"
#include "game/shell/view/sounds.h"

namespace shell {

void DestroyGame(Client& client) {
    if (client.shell.quitPosted) {
        return;
    }
    CaptureFinalPicture(client);
    ReleaseChatInput(client);
    ReleaseWordFilter(client);
    UnloadHole(client);
    ReleaseSceneObjects(client);
    present::ReleaseDisplay(client.display);
    FreeHudSprites(client);
    ReleaseSoundSystem(client);
    client.shell.ready = false;
    client.shell.quitPosted = true;
    client.shell.exitCode = 0;
}

}  // namespace shell
