#include "game/rules/next_turn.h"

#include "game/physics/lie_class.h"
#include "game/rules/order_of_play.h"

namespace rules {

TurnAnnouncement NextTurnStep(MatchRules& match, const RuleOptions& options, physics::HoleMarks& marks,
                              const physics::ShotInput& current, const DriverView& view, core::Rand15& rand) {
    TurnAnnouncement out;
    if (match.holeSettled) {
        out.holeOver = true;
        return out;
    }
    const bool firstStroke = match.turnCounter == 0;
    if (firstStroke && view.world != nullptr) {
        out.pinPlaced = true;
        out.pin = physics::PlacePin(*view.world, marks.cupPoint, view.skyCount, rand);
        physics::ApplyPin(marks, match.pin, out.pin.pin);
    }
    const int shooter = NextShooter(match, options, view.localSlot, view.skippedPlayer);
    const PlayerRecord& player = match.players[shooter];

    physics::LieSituation lie;
    lie.surface = player.surface;
    lie.prevSurface = player.prevSurface;
    lie.lastContactSurface = view.lastContactSurface;
    lie.ball = player.ballPos;
    lie.teePoint = marks.teePoint;
    lie.pin = match.pin;
    lie.par = match.par;

    out.turn = current;
    out.turn.player = static_cast<uint8_t>(shooter);
    out.turn.lieClass = physics::DrawLieClass(lie, rand);
    out.wind = physics::WindStep(view.wind, firstStroke, rand);
    return out;
}

}  // namespace rules
