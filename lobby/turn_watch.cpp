#include "lobby/turn_watch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/shell/lobby/lobby_packet.h"

namespace lobby {

TurnWatch::TurnWatch(std::vector<std::string> players, double timeScale)
    : players_(std::move(players)), timeScale_(timeScale > 0.0 ? timeScale : 1.0) {}

uint64_t TurnWatch::Scaled(uint64_t gameMs) const {
    return static_cast<uint64_t>(static_cast<double>(gameMs) / timeScale_) + kTurnMarginMs;
}

int TurnWatch::SlotOf(const std::string& name) const {
    const auto found = std::find(players_.begin(), players_.end(), name);
    return found == players_.end() ? -1 : static_cast<int>(found - players_.begin());
}

void TurnWatch::Note(uint32_t type, int slot, const std::string& sender, const std::string& recipient,
                     uint64_t nowMs) {
    switch (type) {
        case shell::kMsgTurnStart:
            if (slot < 0 || slot >= static_cast<int>(players_.size())) {
                return;
            }
            phase_ = Phase::kAiming;
            shooter_ = players_[static_cast<size_t>(slot)];
            ready_.clear();
            timedOutThisTurn_ = false;
            deadlineMs_ = nowMs + Scaled(kGameTurnLimitMs);
            return;
        case shell::kMsgShooterReady:
            ready_.insert(sender);
            return;
        case shell::kMsgTimeOut:
            if (phase_ == Phase::kAiming || phase_ == Phase::kAfterTimeOut) {
                ++timeOuts_[shooter_];
                timedOutThisTurn_ = true;
                phase_ = Phase::kAfterTimeOut;  // the shooter's client swings by itself now
                deadlineMs_ = nowMs + Scaled(kGameSwingLimitMs);
            }
            return;
        case shell::kMsgShot:
            if (phase_ != Phase::kIdle) {
                phase_ = Phase::kReplaying;
                deadlineMs_ = nowMs + Scaled(kGameReplayLimitMs);
            }
            return;
        case shell::kMsgShotEnd:
            phase_ = Phase::kIdle;
            return;
        case shell::kMsgPlayerLeft:
            if (const int left = SlotOf(recipient); left >= 0) {
                players_.erase(players_.begin() + left);
                ready_.erase(recipient);
                if (recipient == shooter_) {
                    phase_ = Phase::kIdle;  // the driver starts another turn
                }
            }
            return;
        default:
            return;
    }
}

std::vector<TurnAction> TurnWatch::Due(uint64_t nowMs) {
    std::vector<TurnAction> actions;
    if (phase_ == Phase::kIdle || nowMs < deadlineMs_ || players_.size() < 2) {
        return actions;
    }
    const Phase phase = phase_;
    phase_ = Phase::kIdle;  // whatever follows, this turn is not watched twice
    if (phase == Phase::kAiming) {
        bool shooterAnswers = true;
        for (const std::string& name : players_) {
            if (ready_.count(name) == 0) {
                actions.push_back({TurnAction::kRemove, name, 0, "not answering (no ready for the turn)"});
                shooterAnswers &= name != shooter_;
            }
        }
        if (shooterAnswers && timeOuts_[shooter_] >= kTimeOutsBeforeLeaving) {
            actions.push_back({TurnAction::kRemove, shooter_, 0, "timed out for the third time"});
        } else if (shooterAnswers) {
            actions.push_back({TurnAction::kTimeOut, shooter_, SlotOf(shooter_), ""});
            phase_ = Phase::kAiming;  // until the time-out comes back through the order
            deadlineMs_ = nowMs + kTurnMarginMs;
        }
        return actions;
    }
    const char* what = phase == Phase::kAfterTimeOut ? "not answering (no shot after the time-out)"
                                                     : "not answering (the shot did not end)";
    actions.push_back({TurnAction::kRemove, shooter_, 0, what});
    return actions;
}

double ParseTimeScale(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0.0 ? 1.0 : value;
}

}  // namespace lobby
