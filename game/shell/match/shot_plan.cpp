#include "game/shell/match/shot_plan.h"

#include <algorithm>
#include <cmath>

#include "game/core/geometry.h"
#include "game/physics/club_table.h"
#include "game/physics/gauge.h"

namespace shell {

namespace {

// Rolling adds to a full club's carry; the player allows for part of it.
constexpr float kRollAllowance = 1.08f;
constexpr float kLowestTopMark = 20.0f;

bool ClubAllowed(int club, uint8_t lieClass) {
    if (lieClass == physics::kLiePutting) {
        return club == physics::kClubPutter;
    }
    if (club == physics::kClubPutter) {
        return false;
    }
    // The driver is for the tee only: from the ground it loses most of its speed.
    return club != physics::kClubDriver || lieClass == physics::kLieTeed;
}

// A wedge or putter stopped early: the speed falls with the power error, and the distance about
// with the speed.
float TopMarkFor(int club, float distance) {
    const physics::ClubSpec& row = physics::ClubRow(club);
    const float speedFraction = std::clamp(distance / row.carry, 0.0f, 1.0f);
    const float powerError = (1.0f - speedFraction) / row.powerLoss;
    return std::max(physics::kGaugeTopMark - powerError, kLowestTopMark);
}

}  // namespace

ShotPlan PlanShot(const physics::ShotInput& shot, platform::Vec3 pin) {
    ShotPlan plan;
    plan.aim = pin;
    const float distance = core::DistanceXZ(shot.ballPos, pin);
    if (shot.lieClass == physics::kLiePutting) {
        plan.club = physics::kClubPutter;
        plan.topMark = TopMarkFor(plan.club, distance);
        return plan;
    }
    plan.club = -1;
    for (int club = physics::kClubSandWedge; club >= physics::kClubDriver; --club) {
        if (!ClubAllowed(club, shot.lieClass)) {
            continue;
        }
        plan.club = club;
        if (physics::ClubRow(club).carry * kRollAllowance >= distance) {
            break;
        }
    }
    if (plan.club >= physics::kClubPitchingWedge) {
        plan.topMark = TopMarkFor(plan.club, distance);
    }
    return plan;
}

int GaugeUnitsMs(float units, int gaugeRate) {
    return static_cast<int>(std::lround(units * 1000.0f / static_cast<float>(std::max(gaugeRate, 1))));
}

}  // namespace shell
