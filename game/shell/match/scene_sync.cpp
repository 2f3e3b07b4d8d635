#include "game/shell/match/scene_sync.h"

#include "game/course/scene_renderer.h"
#include "game/shell/client.h"

namespace shell {

namespace {

constexpr uint8_t kColouredBall = 2;

}  // namespace

void ShowMatchInScene(Client& client) {
    const rules::MatchState& m = client.match;
    course::SceneInputs& scene = client.scene;
    scene.startPos = m.shot.startPos;
    scene.surface = m.shot.surface;
    scene.startSurface = m.shot.startSurface;
    scene.pinPosition = m.rules.pin;
    scene.skyIndex = m.sky;
    scene.playerCount = m.options.playerCount;
    scene.currentPlayer = m.shooter;
    scene.teamPlay = m.options.teamPlay;
    for (int p = 0; p < course::kPlayerBalls && p < rules::kMaxPlayers; ++p) {
        course::PlayerBall& ball = scene.balls[p];
        ball.position = m.rules.players[p].ballPos;
        ball.colour = static_cast<uint8_t>(client.config.players[p].colour & 3);
        ball.slotState = p < m.options.playerCount ? kColouredBall : 0;
        ball.holed = m.rules.players[p].finishedHole != 0;
    }
}

void AimCameraAtShot(Client& client) {
    if (client.display.device == nullptr) {
        return;
    }
    course::ResetView(client.display, client.hole, client.view, client.scene, client.match.shot.ballPos,
                      client.match.shot.aimTarget);
}

}  // namespace shell
