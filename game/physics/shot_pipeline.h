#pragma once
// One shot from the ball's place to where the next stroke is played from. The game splits it over
// the clients: the shooter's client sets up the record and launches it from the gauge, then sends
// the record; every client flies it and moves the ball to where it is played from next. Tools and
// tests play all of it at once through PlayShot, so they run the very steps the match runs.
//
//   AimShot          ball, surface, aim, pin and club -> the record's start fields and the slope
//   LaunchFromGauge  the swing's gauge, spin, wind and level -> the record's launch fields
//   FlyAndPlace      the launched record -> the ball's path, its resting place, then relocation

#include <cstdint>

#include "game/core/random.h"
#include "game/physics/ball_state.h"
#include "game/physics/gauge.h"
#include "game/physics/shot_input.h"
#include "game/physics/shot_world.h"
#include "game/physics/wind.h"

namespace physics {

// Where the ball starts and what the player chose before the swing.
struct ShotSetup {
    Vec3 ball;            // on the ground
    uint8_t surface = 0;  // surface kind under the ball
    Vec3 aim;             // the point aimed at
    Vec3 pin;             // the cup
    uint8_t club = 0;     // 0-13; out of range plays the driver
    uint8_t lieClass = 0;
    uint8_t bite = 0;       // 1: backspin shot chosen
    uint8_t powerShot = 0;  // 1: power shot chosen
};

// Starts a fresh record (lieClass and player kept from setup and shot): positions, surfaces, the
// distance to the pin, the club and its swing kind, and the tilt of the ground along and across
// the aim line (none without a terrain grid).
void AimShot(ShotInput& shot, const ShotSetup& setup, const ShotWorld& world);

// The ground's tilt along the aim line and across it, from points 2 yards around the ball; both 0
// when the aim is straight above the ball.
void MeasureSlope(const course::TerrainGrid& grid, Vec3 ball, Vec3 target, float& forward, float& side);

// What the swing brings besides the record.
struct SwingConditions {
    SpinChoice spin;
    Wind wind;
    int gameLevel = 0;  // 0 normal, 1 easier, 2 beginner
};

// The gauge of a swing with clicks at topMs and endMs after it began; both 0 give a perfect swing
// (the top mark, then the impact mark) at that rate.
GaugeState SwingGauge(int gaugeRate, uint32_t topMs, uint32_t endMs);

// Reads the finished gauge and fills the launch fields of the record (Launch). The gauge's rate
// must be the one GaugeRate gave for this record. Returns the readings; their impactError is the
// one ShotFacts needs.
GaugeReadings LaunchFromGauge(ShotInput& shot, const GaugeState& gauge, const SwingConditions& swing,
                              core::Rand15& rand);

// Where a flight ended, before the ball is moved to where it is played from.
struct ShotRest {
    Vec3 pos;
    uint8_t surface = 0;
};

// Simulates the launched record into path, then moves the ball out of water, off paths, other
// greens and out of bounds, adding penalty strokes to strokes (facts.strokes is the stroke count
// the flight reads). shot ends with the place of the next stroke; rest, when given, receives the
// resting place before the move. Returns the final ball state of the flight.
BallState FlyAndPlace(const ShotWorld& world, const ShotFacts& facts, ShotInput& shot, ShotTrajectory& path,
                      uint16_t& strokes, ShotRest* rest = nullptr);

// Everything PlayShot reports besides the record and the path.
struct ShotReport {
    int gaugeRate = 0;
    GaugeState gauge;
    GaugeReadings readings;
    ShotRest rest;         // where the ball came to rest, before any relocation
    uint16_t strokes = 0;  // strokes after the shot, penalties included
};

// The whole shot on one machine: AimShot, the gauge rate, the gauge from the clicks (0, 0: a
// perfect swing), LaunchFromGauge and FlyAndPlace. strokes counts this stroke already.
ShotReport PlayShot(const ShotWorld& world, const ShotSetup& setup, uint32_t topMs, uint32_t endMs,
                    const SwingConditions& swing, int par, uint16_t strokes, core::Rand15& rand,
                    ShotInput& shot, ShotTrajectory& path);

}  // namespace physics
