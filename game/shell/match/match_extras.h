#pragma once
// What the match flow keeps per client beside the match state: the hole as the ball sees it, the
// state log and the built-in player.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/core/fnx_model.h"
#include "game/core/random.h"
#include "game/course/course_objects.h"
#include "platform/vecmath.h"

namespace shell {

// The built-in player's plan for the local turn.
struct AutoplayState {
    bool enabled = false;
    int step = 0;              // how far the plan for this turn has got
    uint32_t nextMs = 0;       // when the next action is due
    uint32_t turnStartMs = 0;  // the turn the plan is for
    int club = 0;              // the club it means to play
    platform::Vec3 aim;        // where it means to aim
    float topMark = 105;       // where the first click stops the gauge, errors included
    float impactMark = 15;
    core::Rand15 rand;  // the player's own hand: not the game's draws
};

// The last moments of a game the lobby closed or a team match a player left: the picture stays up,
// nothing else is handled, then the client tells the lobby it has gone and ends.
struct GameEnding {
    bool running = false;
    uint32_t endMs = 0;  // when the window closes
};

// Observers who asked to join while this client could not describe the match yet.
inline constexpr size_t kMaxPendingObservers = 20;

struct MatchExtras {
    // The hole model as prepared, before any object was turned toward this client's camera.
    std::unique_ptr<core::FnxModel> seatedModel;
    // Shots collide with this copy: its objects face the turn's line of play (FaceShotObjects), the
    // same on every client whatever its own camera did.
    std::unique_ptr<core::FnxModel> collisionModel;
    course::TexelOpacity opacity;  // the hole's textures read back for the ball
    std::string stateLogPath;      // empty: no state log
    AutoplayState autoplay;
    GameEnding ending;
    std::vector<std::string> pendingObservers;  // at most kMaxPendingObservers names
};

}  // namespace shell
