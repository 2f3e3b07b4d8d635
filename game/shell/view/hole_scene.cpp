// The hole as the client shows it: settings, models, textures and terrain, and the course view.
#include "game/shell/view/hole_scene.h"

#include <string>

#include "game/course/scene_renderer.h"
#include "game/shell/client.h"
#include "game/shell/launch/launch_files.h"
#include "game/shell/launch/launch_loader.h"
#include "game/shell/launch/text_lines.h"
#include "platform/message_box.h"

namespace shell {

void LoadHoleSettings(Client& client) {
    LaunchConfig& config = client.config;
    int hole = client.match.currentHole;
    LoadHoleSettings(config, hole);
    if (const char* loop = HoleBackgroundSound(config.match.courseCode, hole)) {
        CopyCut(config.backgroundLoop, sizeof(config.backgroundLoop), loop);
    }
}

void LoadHoleGeometry(Client& client) {
    if (client.display.device == nullptr) {
        return;
    }
    std::string error;
    if (!course::LoadHole(client.hole, *client.display.device, client.config.match.courseCode,
                          client.match.currentHole, error)) {
        // A hole that cannot be drawn cannot be played: say why and end the game.
        platform::ShowErrorBox("Error", error.c_str());
        EndGame(client);
        client.shell.exitCode = 1;
        return;
    }
    const HoleSettings& settings = client.config.hole;
    course::PrepareHole(client.hole, settings.tee, settings.defaultAim, settings.pin);
    client.view.CameraAnchor = client.hole.TeePoint;
    client.view.CameraAim = client.hole.DefaultAim;
    course::PlaceMainCamera(*client.display.device, client.view, client.display.displayWidth,
                            client.display.displayHeight);
}

void UnloadHole(Client& client) {
    course::UnloadHole(client.hole);
}

void ReleaseSceneObjects(Client& client) {
    course::ReleaseHolePreparation(client.hole);
}

void RebuildSceneResources(Client& client) {
    const GameState state = client.shell.gameState;
    if (state == GameState::Playing || state == GameState::Replay || state == GameState::ShotResult) {
        course::RebuildSceneResources(client.display, client.hole, client.view, client.scene);
    }
}

}  // namespace shell
