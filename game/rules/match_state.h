#pragma once
// The match as one client sees it: the rules' record (players, strokes, money, pin), the shot record
// of the turn, the wind and the flags that sequence turns and holes. Pure data: the match flow in
// the shell changes it when lobby messages arrive, the screens only read it.

#include <cstdint>

#include "game/physics/ball_state.h"
#include "game/physics/gauge.h"
#include "game/physics/hole_marks.h"
#include "game/physics/shot_input.h"
#include "game/physics/wind.h"
#include "game/rules/match_rules.h"

namespace rules {

// The match flow's own per-slot facts beside the rules' PlayerRecord (match.rules.players[slot]).
struct SlotFlow {
    uint8_t ready = 0;     // the slot's client has begun the current turn (at least once this hole)
    uint8_t timeOuts = 0;  // turns this player let run out in the match
};

struct MatchState {
    rules::RuleOptions options;  // from the match file
    rules::MatchRules rules;     // players, strokes, scorecards, money, pin, shot counter (turnCounter)
    SlotFlow slots[kMaxPlayers];
    physics::HoleMarks marks;  // tee, layup and nominal cup of the hole being played

    int32_t currentHole = 0;
    int32_t lastHole = 0;
    int32_t localSlot = 0;  // -1 for an observer
    int32_t startingPlayers = 1;
    int32_t shooter = 0;      // whose turn it is
    physics::ShotInput shot;  // the last shot record received (turn, set-up, shot, shot end)
    // The shot end as it arrived, before a drop or penalty moved the ball: where the ball came to
    // rest, for the result banner.
    physics::ShotInput restedShot;
    physics::SpinChoice spin;  // the shooter's spin buttons
    uint8_t sky = 0;           // sky picture of the hole
    physics::Wind wind;        // as last announced
    uint32_t windSentMs = 0;   // the driver's last wind announcement
    int8_t lastContactSurface =
        -1;                   // last ground contact of the most recent shot: the next lie draw reads it
    bool holeLoaded = false;  // a hole with terrain is loaded: shots are simulated against it

    bool nextHoleSent = false;        // the driver asked for the next hole
    bool holeFinished = false;        // every player's hole is over
    bool shotShown = false;           // the result or the scoreboard is on screen
    bool conceded = false;            // the current putt was conceded
    bool swingStarted = false;        // the local shooter pressed the swing button
    bool concedeAllowed = false;      // once per hole, from the first turn at which everyone is ready
    bool concedeOffered = false;      // concedeAllowed was given on this hole already
    bool concedeArmed = false;        // the local give button may be pressed
    int32_t powerShotAllowance = 0;   // power shots left for the local player in this match
    bool powerShotAvailable = false;  // the local player may still use one on this hole
    int32_t timeOutSlot = kNoPlayer;  // the last shooter who timed out
    bool observerNoticeShown = false;
    // A player left since the current turn began: shot records still on their way carry the
    // shooter's old slot number, so they are taken as the current shooter's.
    bool playerLeftThisTurn = false;
    // Turn announcements the driver made before a player left that are still on their way: they
    // name slots as they were and are dropped on arrival (the driver announces the turn again).
    int32_t staleTurnStarts = 0;
};

}  // namespace rules
