#include "game/rules/turn_prep.h"

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/physics/auto_club.h"
#include "game/physics/club_table.h"
#include "game/physics/shot_pipeline.h"
#include "game/rules/contests.h"
#include "game/rules/stroke_rules.h"

namespace rules {

platform::Vec3 AimTarget(const physics::HoleMarks& marks, platform::Vec3 pin, platform::Vec3 ball, int par) {
    if (par > 3 &&
        core::Distance3(marks.teePoint, marks.layupPoint) / 2.0f > core::Distance3(marks.teePoint, ball)) {
        return marks.layupPoint;
    }
    return pin;
}

TurnPreparation PrepareTurn(physics::ShotInput& shot, MatchRules& match, const RuleOptions& options,
                            const physics::HoleMarks& marks, const physics::ShotWorld& world) {
    TurnPreparation result;
    const int p = shot.player;
    if (!IsPlayer(options, p)) {
        return result;
    }
    StartStroke(match, options, p);

    const PlayerRecord& player = match.players[p];
    physics::ShotSetup setup;
    setup.ball = player.ballPos;
    setup.surface = player.surface;
    setup.aim = AimTarget(marks, match.pin, player.ballPos, match.par);
    setup.pin = match.pin;
    setup.club = player.surface == core::kSurfaceGreen ? uint8_t{physics::kClubPutter} : player.club;
    setup.lieClass = shot.lieClass;
    shot.player = static_cast<uint8_t>(p);
    physics::AimShot(shot, setup, world);
    if (options.gameLevel == 2) {
        shot.club = physics::AutomaticClub(shot.surface, shot.lieClass, shot.pinDistance, shot.club);
        shot.swingKind = physics::SwingKindOfClub(shot.club);
        result.gaugeHintMark = physics::GaugeHintMark(shot.club, shot.pinDistance);
    }

    result.nearestWinner = CheckNearest(match, options, p);
    result.longestWinner = CheckLongest(match, options, p);
    return result;
}

}  // namespace rules
