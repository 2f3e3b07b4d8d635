#include "game/rules/stroke_rules.h"

#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/physics/relocation.h"
#include "game/rules/settlement.h"

namespace rules {

namespace {

constexpr int32_t kPowerShotCost = 5;

void Charge(PlayerRecord& player, int32_t cost, int slot, uint8_t reason, int notice, int localSlot,
            const RuleOptions& options, RuleReports& reports) {
    if (player.balance < cost) {
        return;
    }
    player.balance -= cost;
    if (slot == localSlot) {
        reports.AddMoney(slot, -cost, reason);
    }
    if (options.gameLevel == 2) {
        reports.AddNotice(notice);
    }
}

void RecordShot(MatchRules& match, PlayerRecord& player, const physics::ShotInput& shot) {
    player.ballPos = shot.ballPos;
    player.prevSurface = player.surface;
    player.surface = shot.surface;
    if (shot.club < physics::kClubCount) {
        player.club = shot.club;
    }
    player.finishedHole = shot.finished ? 1 : 0;
    if (const int index = HoleIndex(match.hole); index >= 0) {
        player.scorecard[index] = static_cast<uint8_t>(player.strokes);
    }
    if (player.finishedHole) {
        player.overPar += player.strokes - match.par;
        player.totalStrokes += player.strokes;
    }
}

// Partners play one ball: the partner's record follows the shooter's.
void CopyToPartner(const MatchRules& match, const PlayerRecord& from, PlayerRecord& to) {
    to.ballPos = from.ballPos;
    to.prevSurface = from.prevSurface;
    to.surface = from.surface;
    to.club = from.club;
    to.finishedHole = from.finishedHole;
    to.strokes = from.strokes;
    if (const int index = HoleIndex(match.hole); index >= 0) {
        to.scorecard[index] = from.scorecard[index];
    }
    if (from.finishedHole) {
        to.overPar = from.overPar;
        to.totalStrokes = from.totalStrokes;
    }
}

}  // namespace

void StartStroke(MatchRules& match, const RuleOptions& options, int player) {
    if (!IsPlayer(options, player)) {
        return;
    }
    PlayerRecord& shooter = match.players[player];
    ++shooter.strokes;
    if (options.teamPlay && IsPlayer(options, PartnerOf(player))) {
        match.players[PartnerOf(player)].strokes = shooter.strokes;
    }
}

RuleReports ShotEnded(MatchRules& match, const RuleOptions& options, physics::ShotInput& shot, int localSlot,
                      physics::SpinChoice& spin, const physics::ShotWorld* world) {
    RuleReports reports;
    const int p = shot.player;
    if (!IsPlayer(options, p)) {
        return reports;
    }
    PlayerRecord& shooter = match.players[p];
    spin = physics::SpinChoice{};

    if (shot.surface == core::kSurfaceWater || shot.surface == core::kSurfaceOutOfBounds) {
        Charge(shooter, 1, p, kMoneyPenaltyCharge, kNoticePenaltyCharge, localSlot, options, reports);
    }
    if (shot.powerShot) {
        Charge(shooter, kPowerShotCost, p, kMoneyPowerShotCharge, kNoticePowerShotCharge, localSlot, options,
               reports);
    }
    if (world != nullptr && world->grid != nullptr && world->model != nullptr) {
        physics::RelocateBall(*world, match.par, shot, shooter.strokes);
    }

    RecordShot(match, shooter, shot);
    if (options.teamPlay) {
        match.teamLastShooter[p / 2] = p;
        if (IsPlayer(options, PartnerOf(p))) {
            CopyToPartner(match, shooter, match.players[PartnerOf(p)]);
        }
    }
    ++match.turnCounter;
    SettleHole(match, options, localSlot, reports);
    return reports;
}

}  // namespace rules
