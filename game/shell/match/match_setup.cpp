#include "game/shell/match/match_setup.h"

#include <algorithm>

#include "game/shell/client.h"

namespace shell {

namespace {

constexpr int kShortMatchHoles = 7;
constexpr int kLongMatchHoles = 12;

}  // namespace

int PowerShotAllowance(int holes) {
    if (holes < kShortMatchHoles) {
        return 2;
    }
    // A 12-hole match counts as a middle-length one.
    return holes <= kLongMatchHoles ? 3 : 6;
}

rules::RuleOptions RuleOptionsFromConfig(const LaunchConfig& config) {
    const MatchConfig& m = config.match;
    rules::RuleOptions o;
    o.gameMode = m.gameMode;
    o.gameLevel = m.gameLevel;
    o.stake = m.betting;
    o.playerCount = std::clamp<int32_t>(m.maxPlayers, 1, rules::kMaxPlayers);
    o.startHole = m.startHole;
    o.endHole = m.endHole;
    o.teamPlay = m.teamPlay != 0;
    o.optNear = m.optNear != 0;
    o.optLongest = m.optLongest != 0;
    o.optGive = m.optGive != 0;
    return o;
}

void ResetMatchState(rules::MatchState& match, const LaunchConfig& config) {
    match = rules::MatchState{};
    match.options = RuleOptionsFromConfig(config);
    match.currentHole = config.match.startHole;
    match.lastHole = std::max(config.match.endHole, config.match.startHole);
    match.localSlot = config.match.localIsObserver ? rules::kNoPlayer : config.match.localSlot;
    match.startingPlayers = match.options.playerCount;
    match.powerShotAllowance = PowerShotAllowance(match.lastHole - match.currentHole + 1);
    for (int p = 0; p < rules::kMaxPlayers; ++p) {
        match.rules.players[p].balance = std::max<int32_t>(config.players[p].balls, 0);
    }
    if (match.options.teamPlay) {
        match.rules.teamLastShooter[0] = config.teamLastShooter[0];
        match.rules.teamLastShooter[1] = config.teamLastShooter[1];
    }
}

void ResetMatchForHole(rules::MatchState& match, const HoleSettings& hole, platform::Vec3 teePoint,
                       platform::Vec3 defaultAim, platform::Vec3 pinPoint) {
    rules::ResetRulesForHole(match.rules, match.currentHole, hole.par, teePoint);
    match.rules.pin = pinPoint;
    match.marks.teePoint = teePoint;
    match.marks.layupPoint = defaultAim;
    match.marks.cupPoint = pinPoint;
    for (rules::SlotFlow& slot : match.slots) {
        slot.ready = 0;
    }
    match.holeFinished = false;
    match.nextHoleSent = false;
    match.conceded = false;
    match.swingStarted = false;
    match.concedeAllowed = false;
    match.concedeArmed = false;
    match.concedeOffered = false;
    match.timeOutSlot = rules::kNoPlayer;
    match.powerShotAvailable = match.powerShotAllowance > 0;
    match.spin = physics::SpinChoice{};
    if (match.options.playerCount == 1) {
        match.slots[0].ready = 1;  // alone, nobody has to be waited for
    }
}

void FaceShotObjects(Client& client) {
    MatchExtras& extras = client.matchExtras;
    if (extras.collisionModel == nullptr || extras.seatedModel == nullptr) {
        return;
    }
    const physics::ShotInput& shot = client.match.shot;
    course::FaceObjects(*extras.collisionModel, *extras.seatedModel, client.hole.objects,
                        course::ViewAngle(shot.ballPos, shot.aimTarget, 0.0f));
}

bool MakeShotWorld(const Client& client, physics::ShotWorld& world) {
    const course::HoleState& hole = client.hole;
    if (!hole.prepared || client.matchExtras.collisionModel == nullptr) {
        return false;
    }
    world.model = client.matchExtras.collisionModel.get();
    world.grid = &hole.grid;
    world.objects = &hole.objects;
    world.opacity = client.matchExtras.opacity;
    return true;
}

}  // namespace shell
