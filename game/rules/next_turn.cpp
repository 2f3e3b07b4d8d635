#include "game/rules/next_turn.h"

#include "game/physics/lie_class.h"
#include "game/rules/order_of_play.h"

namespace physics {

TurnAnnouncement NextTurnStep(MatchRules& match, const RuleOptions& options, HoleMarks& marks,
                              const ShotInput& current, const DriverView& view, Rand15& rand) {
    TurnAnnouncement out;
    if (match.holeSettled) {
        out.holeOver = true;
        return out;
    }
    const bool firstStroke = match.turnCounter == 0;
    if (firstStroke && view.world != nullptr) {
        out.pinPlaced = true;
        out.pin = PlacePin(*view.world, marks.cupPoint, view.skyCount, rand);
        ApplyPin(marks, match.pin, out.pin.pin);
    }
    const int shooter = NextShooter(match, options, view.localSlot, view.skippedPlayer);
    const PlayerRecord& player = match.players[shooter];

    LieSituation lie;
    lie.surface = player.surface;
    lie.prevSurface = player.prevSurface;
    lie.lastContactSurface = view.lastContactSurface;
    lie.ball = player.ballPos;
    lie.teePoint = marks.teePoint;
    lie.pin = match.pin;
    lie.par = match.par;

    out.turn = current;
    out.turn.player = static_cast<uint8_t>(shooter);
    out.turn.lieClass = DrawLieClass(lie, rand);
    out.wind = WindStep(view.wind, firstStroke, rand);
    return out;
}

}  // namespace physics
