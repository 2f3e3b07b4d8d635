#pragma once
// The lobby's watch over turns, so that no client can stall a match. A client times out its own
// player's turn; one that has stopped (a hung process, a deadlock, a malicious player) never does,
// and the match would wait for ever. The lobby sees every turn start (message 1), every ready
// (2), shot (7), shot end (8), time-out (15) and player leaving (91) in the one order of the
// match, and acts where a client should have:
// - the turn limit plus a margin after a turn started, a seat that has not said it is ready is
//   not answering and leaves the match;
// - a shooter who has not shot by then is timed out by the lobby (message 15, in the one order,
//   so every client applies it alike); a shooter who already timed out twice leaves instead, as a
//   player's own client makes him leave on his third time-out;
// - a shooter whose client neither shoots after the time-out nor ends its shot within a margin
//   of the longest replay is not answering and leaves the match.
// Pure logic over the lobby's clock; the relay carries out what it says.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace lobby {

// The game's turn limit in its own milliseconds, and what the lobby adds before it acts, in real
// milliseconds (turn set-up, a slow machine, the network).
inline constexpr uint64_t kGameTurnLimitMs = 60000;
inline constexpr uint64_t kGameSwingLimitMs = 20000;   // a swing forced by a time-out, both clicks
inline constexpr uint64_t kGameReplayLimitMs = 40000;  // the longest shot's replay and result
inline constexpr uint64_t kTurnMarginMs = 10000;
inline constexpr int kTimeOutsBeforeLeaving = 2;  // the third time-out ends a player's game

struct TurnAction {
    enum Kind { kTimeOut, kRemove } kind = kTimeOut;
    std::string name;    // the seat acted on
    int slot = 0;        // kTimeOut: its slot now
    std::string reason;  // kRemove: why, for the log and the others
};

class TurnWatch {
  public:
    // players: the names in slot order; timeScale: the clients' game clock runs this much faster.
    TurnWatch(std::vector<std::string> players, double timeScale);
    // A packet of one of the watched types has entered the match's order. slot is the first body
    // byte (0 when the message has none), sender the packet's sender, recipient its recipient.
    void Note(uint32_t type, int slot, const std::string& sender, const std::string& recipient,
              uint64_t nowMs);
    // Whether a time-out sent by a client would count a second time for this turn: drop it.
    bool IsStaleTimeOut() const { return timedOutThisTurn_; }
    // What the lobby must do now (at most one action per seat).
    std::vector<TurnAction> Due(uint64_t nowMs);

  private:
    enum class Phase { kIdle, kAiming, kAfterTimeOut, kReplaying };
    uint64_t Scaled(uint64_t gameMs) const;
    int SlotOf(const std::string& name) const;

    std::vector<std::string> players_;
    double timeScale_;
    Phase phase_ = Phase::kIdle;
    std::string shooter_;
    std::set<std::string> ready_;
    std::map<std::string, int> timeOuts_;
    bool timedOutThisTurn_ = false;
    uint64_t deadlineMs_ = 0;
};

// The clients' time scale from Ravelin's --time-scale text: 1 when empty or not a positive number.
double ParseTimeScale(const std::string& text);

}  // namespace lobby
