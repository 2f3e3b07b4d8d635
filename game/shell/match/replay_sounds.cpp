#include "game/shell/match/replay_sounds.h"

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/shell/client.h"
#include "game/shell/view/sounds.h"

namespace shell {

namespace {

using present::GameSound;

constexpr float kCleanStrikeSpeed = 5.0f;

void PlayCupSounds(Client& client) {
    const rules::MatchState& m = client.match;
    PlayGameSound(client, GameSound::DnHole);
    const int strokes = m.rules.players[m.shot.player].strokes;
    if (strokes == m.rules.par) {
        PlayGameSound(client, GameSound::Good);
    } else if (strokes < m.rules.par) {
        PlayGameSound(client, GameSound::VeryGood);
    }
}

}  // namespace

GameSound ImpactSound(const physics::ShotInput& shot) {
    if (shot.startSurface == core::kSurfaceBunker || shot.launchSpeed < kCleanStrikeSpeed) {
        return GameSound::Send;
    }
    if (physics::IsWood(shot.club)) {
        return GameSound::Wood;
    }
    if (physics::IsIron(shot.club)) {
        return GameSound::Iron;
    }
    switch (shot.club) {
        case physics::kClubPitchingWedge:
            return GameSound::Pitch;
        case physics::kClubSandWedge:
            return GameSound::SPitch;
        default:
            return GameSound::Putt;
    }
}

void PlayPointSounds(Client& client, int index) {
    const physics::ShotTrajectory& t = client.replay.trajectory;
    const physics::TrajectoryPoint& point = t.points[index];
    if (index == 1) {
        PlayGameSound(client, ImpactSound(client.match.shot));
    }
    if (point.objectHit) {
        PlayGameSound(client, point.objectKind == 'E' ? GameSound::DnGreen : GameSound::DnTree);
    } else if (point.bounced) {
        if (point.surface == core::kSurfaceBunker) {
            PlayGameSound(client, GameSound::DnSand);
        } else if (point.surface != core::kSurfaceWater) {
            PlayGameSound(client, GameSound::DnGreen);
        }
    }
    if (index == t.trajectoryCount) {
        if (point.surface == core::kSurfaceWater) {
            PlayGameSound(client, GameSound::DnWater);
        } else if (client.match.shot.finished && !client.match.shot.limitReached) {
            PlayCupSounds(client);
        }
    }
}

}  // namespace shell
