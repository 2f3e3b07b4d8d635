#pragma once
// What applying a rule asks the client to send or show. The rules never send anything themselves;
// the caller turns these into lobby messages and chat lines.

#include <cstdint>

namespace rules {

enum MoneyReason : uint8_t {
    kMoneySettlement = 0,
    kMoneyPenaltyCharge = 1,
    kMoneyPowerShotCharge = 2,
};

// One money change to report to the lobby.
struct MoneyReport {
    int32_t player = 0;
    int32_t amount = 0;
    uint8_t reason = kMoneySettlement;
};

inline constexpr int kMaxMoneyReports = 8;
inline constexpr int kMaxNotices = 2;
// Game strings shown as notice lines at the beginner level.
inline constexpr int kNoticePenaltyCharge = 0;
inline constexpr int kNoticePowerShotCharge = 1;

struct RuleReports {
    MoneyReport money[kMaxMoneyReports];
    int moneyCount = 0;
    int notices[kMaxNotices] = {};  // game-string indices
    int noticeCount = 0;
    bool holeFinished = false;   // every player's hole is over and it was settled just now
    bool sendHoleScore = false;  // report the local player's strokes on the hole
    uint8_t scoreHole = 0;
    uint8_t scoreStrokes = 0;
    bool sendGameEnd = false;  // the last hole is over

    void AddMoney(int player, int32_t amount, uint8_t reason) {
        if (moneyCount < kMaxMoneyReports) {
            money[moneyCount++] = MoneyReport{player, amount, reason};
        }
    }
    void AddNotice(int gameString) {
        if (noticeCount < kMaxNotices) {
            notices[noticeCount++] = gameString;
        }
    }
};

}  // namespace rules
