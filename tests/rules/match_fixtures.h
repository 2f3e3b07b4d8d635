#pragma once
// Matches, players and holes made by hand for the rules' tests.

#include "game/core/surface_kind.h"
#include "game/rules/match_rules.h"
#include "game/rules/stroke_rules.h"
#include "tests/course/model_fixtures.h"

namespace rules::fixtures {

inline RuleOptions Options(int players, int mode = kModeStrokePlay, int stake = 10) {
    RuleOptions o;
    o.playerCount = players;
    o.gameMode = mode;
    o.stake = stake;
    o.startHole = 1;
    o.endHole = 9;
    return o;
}

inline MatchRules Match(int hole = 1, int par = 4) {
    MatchRules m;
    ResetRulesForHole(m, hole, par, platform::Vec3{0.0f, 0.0f, 0.0f});
    m.pin = platform::Vec3{0.0f, 0.0f, 300.0f};
    for (PlayerRecord& p : m.players) {
        p.balance = 100;
    }
    return m;
}

inline void Finish(MatchRules& m, int player, int strokes) {
    m.players[player].strokes = static_cast<uint16_t>(strokes);
    m.players[player].finishedHole = 1;
    m.players[player].totalStrokes += strokes;
}

inline physics::ShotInput Rested(int player, int surface) {
    physics::ShotInput shot;
    shot.player = static_cast<uint8_t>(player);
    shot.surface = static_cast<uint8_t>(surface);
    shot.club = 3;
    shot.ballPos = platform::Vec3{1.0f, 0.0f, 150.0f};
    return shot;
}

// A fairway with a water hazard across it from z = 140 to 160.
struct PondHole {
    core::FnxModel model;
    course::TerrainGrid grid;
    physics::ShotWorld world;
    PondHole() {
        ::fixtures::AddFlatQuad(model, "WTR", -40.0f, 140.0f, 40.0f, 160.0f, 5.5f);
        ::fixtures::AddFlatQuad(model, "FWY", -40.0f, -50.0f, 40.0f, 450.0f, 5.0f);
        grid = course::BuildTerrainGrid(model);
        world.model = &model;
        world.grid = &grid;
    }
};

}  // namespace rules::fixtures
