#include "game/rules/turn_prep.h"

#include <cmath>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/physics/auto_club.h"
#include "game/physics/club_table.h"
#include "game/rules/contests.h"
#include "game/rules/stroke_rules.h"

namespace physics {

namespace {

constexpr float kSlopeReach = 2.0f;

float GroundHeight(const course::TerrainGrid& grid, platform::Vec3 p) {
    course::SeatOnTerrain(grid, p);
    return p.y;
}

// Signed angle of the rise from b to a over the 4 yards between them.
float Tilt(const course::TerrainGrid& grid, platform::Vec3 a, platform::Vec3 b) {
    const float ha = GroundHeight(grid, a);
    const float hb = GroundHeight(grid, b);
    if (ha == hb) {
        return 0.0f;
    }
    const float angle = std::atan2(std::fabs(ha - hb), 2.0f * kSlopeReach);
    return ha > hb ? angle : -angle;
}

}  // namespace

platform::Vec3 AimTarget(const HoleMarks& marks, platform::Vec3 pin, platform::Vec3 ball, int par) {
    if (par > 3 && Distance3(marks.teePoint, marks.layupPoint) / 2.0f > Distance3(marks.teePoint, ball)) {
        return marks.layupPoint;
    }
    return pin;
}

void MeasureSlope(const course::TerrainGrid& grid, platform::Vec3 ball, platform::Vec3 target, float& forward,
                  float& side) {
    forward = 0.0f;
    side = 0.0f;
    const platform::Vec3 flat{target.x - ball.x, 0.0f, target.z - ball.z};
    if (flat.x == 0.0f && flat.z == 0.0f) {
        return;  // no aim line to measure along
    }
    const platform::Vec3 u = platform::Normalize(flat);
    const platform::Vec3 w{-u.z, 0.0f, u.x};
    forward = Tilt(grid, ball + u * kSlopeReach, ball - u * kSlopeReach);
    side = Tilt(grid, ball + w * kSlopeReach, ball - w * kSlopeReach);
}

TurnPreparation PrepareTurn(ShotInput& shot, MatchRules& match, const RuleOptions& options,
                            const HoleMarks& marks, const ShotWorld& world) {
    TurnPreparation result;
    const int p = shot.player;
    if (!IsPlayer(options, p)) {
        return result;
    }
    ShotInput fresh;
    fresh.lieClass = shot.lieClass;
    shot = fresh;
    StartStroke(match, options, p);

    const PlayerRecord& player = match.players[p];
    shot.player = static_cast<uint8_t>(p);
    shot.ballPos = shot.startPos = player.ballPos;
    shot.pinDistance = Distance3(player.ballPos, match.pin);
    shot.surface = shot.startSurface = player.surface;
    shot.aimTarget = AimTarget(marks, match.pin, player.ballPos, match.par);

    shot.club = player.surface == course::kSurfaceGreen ? uint8_t{kClubPutter} : player.club;
    if (shot.club >= kClubCount) {
        shot.club = kClubDriver;
    }
    if (options.gameLevel == 2) {
        shot.club = AutomaticClub(shot.surface, shot.lieClass, shot.pinDistance, shot.club);
        result.gaugeHintMark = GaugeHintMark(shot.club, shot.pinDistance);
    }
    shot.swingKind = SwingKindOfClub(shot.club);
    if (world.grid != nullptr) {
        MeasureSlope(*world.grid, shot.ballPos, shot.aimTarget, shot.slopeForward, shot.slopeSide);
    }

    result.nearestWinner = CheckNearest(match, options, p);
    result.longestWinner = CheckLongest(match, options, p);
    return result;
}

}  // namespace physics
