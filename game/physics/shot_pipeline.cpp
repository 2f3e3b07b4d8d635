#include "game/physics/shot_pipeline.h"

#include <cmath>

#include "game/core/geometry.h"
#include "game/physics/ball_flight.h"
#include "game/physics/club_table.h"
#include "game/physics/launch.h"
#include "game/physics/relocation.h"

namespace physics {

namespace {

constexpr float kSlopeReach = 2.0f;

float GroundHeight(const course::TerrainGrid& grid, Vec3 p) {
    course::SeatOnTerrain(grid, p);
    return p.y;
}

// Signed angle of the rise from b to a over the 4 yards between them.
float Tilt(const course::TerrainGrid& grid, Vec3 a, Vec3 b) {
    const float ha = GroundHeight(grid, a);
    const float hb = GroundHeight(grid, b);
    if (ha == hb) {
        return 0.0f;
    }
    const float angle = std::atan2(std::fabs(ha - hb), 2.0f * kSlopeReach);
    return ha > hb ? angle : -angle;
}

}  // namespace

void MeasureSlope(const course::TerrainGrid& grid, Vec3 ball, Vec3 target, float& forward, float& side) {
    forward = 0.0f;
    side = 0.0f;
    const Vec3 flat{target.x - ball.x, 0.0f, target.z - ball.z};
    if (flat.x == 0.0f && flat.z == 0.0f) {
        return;  // no aim line to measure along
    }
    const Vec3 u = platform::Normalize(flat);
    const Vec3 w{-u.z, 0.0f, u.x};
    forward = Tilt(grid, ball + u * kSlopeReach, ball - u * kSlopeReach);
    side = Tilt(grid, ball + w * kSlopeReach, ball - w * kSlopeReach);
}

void AimShot(ShotInput& shot, const ShotSetup& setup, const ShotWorld& world) {
    ShotInput fresh;
    fresh.player = shot.player;
    fresh.lieClass = setup.lieClass;
    fresh.bite = setup.bite;
    fresh.powerShot = setup.powerShot;
    shot = fresh;
    shot.ballPos = shot.startPos = setup.ball;
    shot.pinDistance = core::Distance3(setup.ball, setup.pin);
    shot.surface = shot.startSurface = setup.surface;
    shot.aimTarget = setup.aim;
    shot.club = setup.club < kClubCount ? setup.club : uint8_t{kClubDriver};
    shot.swingKind = SwingKindOfClub(shot.club);
    if (world.grid != nullptr) {
        MeasureSlope(*world.grid, shot.ballPos, shot.aimTarget, shot.slopeForward, shot.slopeSide);
    }
}

GaugeState SwingGauge(int gaugeRate, uint32_t topMs, uint32_t endMs) {
    GaugeState gauge;
    gauge.gaugeRate = gaugeRate;
    if (topMs == 0 && endMs == 0 && gaugeRate > 0) {
        const auto rate = static_cast<uint32_t>(gaugeRate);
        topMs = static_cast<uint32_t>(kGaugeTopMark) * 1000u / rate;
        endMs = topMs + static_cast<uint32_t>(kGaugeTopMark - kGaugeImpactMark) * 1000u / rate;
    }
    gauge.gaugeTop = topMs;
    gauge.gaugeEnd = endMs;
    gauge.launched = true;
    return gauge;
}

GaugeReadings LaunchFromGauge(ShotInput& shot, const GaugeState& gauge, const SwingConditions& swing,
                              core::Rand15& rand) {
    LaunchConditions conditions;
    conditions.gauge = ReadGauge(gauge);
    conditions.spin = swing.spin;
    conditions.wind = swing.wind;
    conditions.gameLevel = swing.gameLevel;
    Launch(shot, conditions, rand);
    return conditions.gauge;
}

BallState FlyAndPlace(const ShotWorld& world, const ShotFacts& facts, ShotInput& shot, ShotTrajectory& path,
                      uint16_t& strokes, ShotRest* rest) {
    const BallState ball = SimulateShot(world, facts, shot, path);
    if (rest != nullptr) {
        *rest = {shot.ballPos, shot.surface};
    }
    RelocateBall(world, facts.par, shot, strokes);
    return ball;
}

ShotReport PlayShot(const ShotWorld& world, const ShotSetup& setup, uint32_t topMs, uint32_t endMs,
                    const SwingConditions& swing, int par, uint16_t strokes, core::Rand15& rand,
                    ShotInput& shot, ShotTrajectory& path) {
    ShotReport report;
    AimShot(shot, setup, world);
    report.gaugeRate = GaugeRate(shot, swing.gameLevel, swing.spin);
    report.gauge = SwingGauge(report.gaugeRate, topMs, endMs);
    report.readings = LaunchFromGauge(shot, report.gauge, swing, rand);
    const ShotFacts facts{swing.gameLevel, par, strokes, setup.pin, report.readings.impactError};
    report.strokes = strokes;
    FlyAndPlace(world, facts, shot, path, report.strokes, &report.rest);
    return report;
}

}  // namespace physics
