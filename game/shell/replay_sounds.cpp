#include "game/shell/replay_sounds.h"

#include "game/core/surface_kind.h"

namespace shell {

namespace {

// Below this launch speed (yards per second) the club only brushes the ball.
constexpr float kStruckSpeed = 5.0f;
constexpr int kLastWood = 3;
constexpr int kLastIron = 10;
constexpr int kPitchingWedge = 11;
constexpr int kSandWedge = 12;
constexpr uint8_t kBushKind = 'E';

}  // namespace

present::GameSound ImpactSound(const physics::ShotInput& shot) {
    if (shot.startSurface == course::kSurfaceBunker || shot.launchSpeed < kStruckSpeed) {
        return present::GameSound::Send;
    }
    if (shot.club <= kLastWood) {
        return present::GameSound::Wood;
    }
    if (shot.club <= kLastIron) {
        return present::GameSound::Iron;
    }
    if (shot.club == kPitchingWedge) {
        return present::GameSound::Pitch;
    }
    if (shot.club == kSandWedge) {
        return present::GameSound::SPitch;
    }
    return present::GameSound::Putt;
}

std::vector<present::GameSound> ContactSounds(const physics::TrajectoryPoint& point) {
    std::vector<present::GameSound> sounds;
    if (point.objectHit != 0) {
        sounds.push_back(point.objectKind == kBushKind ? present::GameSound::DnGreen
                                                       : present::GameSound::DnTree);
    }
    if (point.bounced != 0) {
        if (point.surface == course::kSurfaceBunker) {
            sounds.push_back(present::GameSound::DnSand);
        } else if (point.surface != course::kSurfaceWater) {
            sounds.push_back(present::GameSound::DnGreen);
        }
    }
    return sounds;
}

std::vector<present::GameSound> HoledSounds(int strokes, int par) {
    std::vector<present::GameSound> sounds = {present::GameSound::DnHole};
    if (strokes == par) {
        sounds.push_back(present::GameSound::Good);
    } else if (strokes < par) {
        sounds.push_back(present::GameSound::VeryGood);
    }
    return sounds;
}

}  // namespace shell
