#include "game/shell/match/replay.h"

#include <algorithm>

#include "game/core/surface_kind.h"
#include "game/course/camera.h"
#include "game/physics/ball_flight.h"
#include "game/shell/client.h"
#include "game/shell/lobby/lobby_messages.h"
#include "game/shell/match/match_setup.h"
#include "game/shell/match/replay_sounds.h"
#include "game/shell/match/swing.h"
#include "game/shell/view/hud_screens.h"

namespace shell {

namespace {

// Steps the golfer swings before the ball moves, by the shooter's sex, character and swing kind.
int SwingSteps(const Client& client, const physics::ShotInput& shot) {
    const PlayerInfo& player = client.config.players[shot.player % kPlayerSlots];
    const int sex = player.sex % kSwingSexes;
    const int type = player.characterType % kSwingCharacterTypes;
    const int kind = shot.swingKind % kSwingKinds;
    const int32_t steps = client.config.swingTiming.steps[sex][type][kind];
    return steps > 0 ? steps : 0;
}

uint32_t StepDueMs(const ReplayState& r, int step) {
    return r.clockMs + static_cast<uint32_t>(static_cast<int64_t>(step) * 1000 / kReplayStepsPerSecond);
}

bool EndsInWater(const physics::ShotTrajectory& t) {
    return t.points[t.trajectoryCount].surface == core::kSurfaceWater;
}

// Where each point of the ball's path appears in the main view, its size there, and whether the
// drawn course hides it (the depth of the view drawn for this shot tells).
void PlacePathInView(Client& client, physics::ShotTrajectory& path) {
    if (client.display.device == nullptr) {
        return;
    }
    platform::Device3D& device = *client.display.device;
    course::PlaceMainCamera(device, client.view, client.display.displayWidth, client.display.displayHeight);
    const int count = std::clamp(path.trajectoryCount + 1, 1, physics::kTrajectoryCapacity);
    for (int i = 0; i < count; ++i) {
        physics::TrajectoryPoint& point = path.points[i];
        const bool hidden = path.hiddenAtEnd != 0 && i + 1 == count;
        const course::PathScreenPoint at = course::PlacePathPoint(device, client.view, point.pos, hidden);
        point.screen[0] = at.screen[0];
        point.screen[1] = at.screen[1];
        point.visible = at.visible;
        point.scale = at.scale;
    }
}

void ReplayStep(Client& client) {
    ReplayState& r = client.replay;
    ++r.stepCount;
    const int last = r.trajectory.trajectoryCount;
    if (r.stepCount >= r.swingSteps && r.index < last) {
        ++r.index;
        PlayPointSounds(client, r.index);
        if (r.index == last && EndsInWater(r.trajectory)) {
            r.splashing = true;
            r.splashEndStep = r.stepCount + kSplashSteps;
        }
    }
    if (r.animFrame < r.lastAnimFrame) {
        ++r.animFrame;
    }
    const bool splashOver = !r.splashing || r.stepCount >= r.splashEndStep;
    r.ended = r.index >= last && r.animFrame >= r.lastAnimFrame && splashOver;
}

void EndReplay(Client& client) {
    if (client.match.shot.player == client.match.localSlot) {
        SendShotEnd(client.lobby, client.match.shot);
    }
    client.display.cursorShown = 1;
    SetGameState(client, GameState::Waiting);
    RedrawReplayView(client);
}

}  // namespace

void StartReplay(Client& client, uint8_t impactByte) {
    rules::MatchState& m = client.match;
    ReplayState& r = client.replay;
    r = ReplayState{};
    physics::ShotWorld world;
    if (MakeShotWorld(client, world)) {
        physics::ShotFacts facts;
        facts.gameLevel = m.options.gameLevel;
        facts.par = m.rules.par;
        facts.strokes = m.rules.players[m.shot.player].strokes;
        facts.pin = m.rules.pin;
        facts.impactError = ImpactErrorFromByte(impactByte);
        const physics::BallState end = physics::SimulateShot(world, facts, m.shot, r.trajectory);
        m.lastContactSurface = static_cast<int8_t>(end.surfaceKind);
    } else {
        r.trajectory.points[0].pos = m.shot.ballPos;  // no hole to fly over: the ball stays
    }
    PlacePathInView(client, r.trajectory);
    r.simulatedRest = m.shot.ballPos;
    r.swingSteps = SwingSteps(client, m.shot);
    r.lastAnimFrame = r.swingSteps + kFollowThroughSteps;
    r.clockMs = client.clock.NowMs();
    client.display.cursorShown = 0;
    SetGameState(client, GameState::Replay);
    RedrawReplayView(client);
}

void RunReplay(Client& client) {
    ReplayState& r = client.replay;
    const uint32_t now = client.clock.NowMs();
    while (!r.ended && static_cast<int32_t>(now - StepDueMs(r, r.stepCount + 1)) >= 0) {
        ReplayStep(client);
    }
    if (r.ended) {
        EndReplay(client);
    }
}

}  // namespace shell
