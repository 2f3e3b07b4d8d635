#include <gtest/gtest.h>

#include "game/core/random.h"
#include "game/rules/order_of_play.h"
#include "game/rules/stroke_rules.h"
#include "game/rules/turn_prep.h"

namespace rules {
namespace {

int64_t MoneyInPlay(const MatchRules& m, int players) {
    int64_t total = m.pot;
    for (int p = 0; p < players; ++p) {
        total += m.players[p].balance;
    }
    return total;
}

// Whole matches of random shots under random options: money only moves between players and the
// pot, nobody ends below zero, and every shooter chosen is a player still on the hole.
TEST(RulesProperty, MoneyIsKeptAndNobodyGoesBelowZero) {
    core::Rand15 rand;
    rand.Seed(2024);
    int moneyMoved = 0;
    for (int match = 0; match < 300; ++match) {
        RuleOptions o;
        o.playerCount = 1 + rand.Next() % 4;
        o.gameMode = rand.Next() % 3;
        o.gameLevel = rand.Next() % 3;
        o.stake = rand.Next() % 4 == 0 ? 0 : 1 + rand.Next() % 200;
        o.teamPlay = o.playerCount == 4 && rand.Next() % 2 == 0;
        o.optNear = o.optLongest = o.optGive = true;
        o.startHole = 1;
        o.endHole = 1 + rand.Next() % 5;
        MatchRules m;
        for (int p = 0; p < o.playerCount; ++p) {
            m.players[p].balance = rand.Next() % 300;
        }
        m.pot = rand.Next() % 3 == 0 ? rand.Next() % 50 : 0;
        int64_t money = MoneyInPlay(m, o.playerCount);
        const physics::ShotWorld noWorld;
        for (int hole = o.startHole; hole <= o.endHole; ++hole) {
            const int par = 3 + rand.Next() % 3;
            ResetRulesForHole(m, hole, par, platform::Vec3{0.0f, 0.0f, 0.0f});
            m.pin = platform::Vec3{0.0f, 0.0f, 100.0f * par};
            int turns = 0;
            while (!m.holeSettled) {
                ASSERT_LT(++turns, 100);
                const int shooter = NextShooter(m, o, 0, rand.Next() % 5 - 1);
                ASSERT_GE(shooter, 0);
                ASSERT_LT(shooter, o.playerCount);
                ASSERT_FALSE(m.players[shooter].finishedHole);
                physics::ShotInput shot;
                shot.player = static_cast<uint8_t>(shooter);
                shot.lieClass = static_cast<uint8_t>(rand.Next() % 8);
                PrepareTurn(shot, m, o, physics::HoleMarks{}, noWorld);
                shot.surface = static_cast<uint8_t>(rand.Next() % 9);
                shot.powerShot = rand.Next() % 4 == 0;
                shot.ballPos.z = m.pin.z - static_cast<float>(rand.Next() % 300);
                shot.finished = rand.Next() % 3 == 0 || m.players[shooter].strokes >= 2 * par;
                physics::SpinChoice spin;
                const RuleReports r = ShotEnded(m, o, shot, shooter, spin, nullptr);
                // Charges for lost balls and power shots leave the match; settlements only move money.
                for (int i = 0; i < r.moneyCount; ++i) {
                    if (r.money[i].reason != kMoneySettlement) {
                        money += r.money[i].amount;
                    }
                }
                ASSERT_EQ(MoneyInPlay(m, o.playerCount), money);
                for (int p = 0; r.holeFinished && p < o.playerCount; ++p) {
                    moneyMoved += m.players[p].holeDelta != 0 ? 1 : 0;
                }
                for (int p = 0; p < o.playerCount; ++p) {
                    ASSERT_GE(m.players[p].balance, 0);
                }
            }
        }
    }
    EXPECT_GT(moneyMoved, 100);
}

}  // namespace
}  // namespace rules
