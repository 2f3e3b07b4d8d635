// A shooter who re-aims before the swing: every client must simulate the shot against the same
// course objects, or the ball paths part where the ball meets a tree.

#include <gtest/gtest.h>

#include <cstring>

#include "game/course/course_objects.h"
#include "game/shell/match/hud_actions.h"
#include "tests/shell/match_table.h"

namespace {

using shell::GameState;

class ReaimSync : public MatchTable {
  protected:
    bool SameObjects() {
        const core::FnxModel& a = *C(0).matchExtras.collisionModel;
        const core::FnxModel& b = *C(1).matchExtras.collisionModel;
        for (size_t g = 0; g < a.groups.size(); ++g) {
            const auto& va = a.groups[g].vertices;
            const auto& vb = b.groups[g].vertices;
            if (va.size() != vb.size() || std::memcmp(va.data(), vb.data(), va.size() * sizeof(va[0])) != 0) {
                return false;
            }
        }
        return true;
    }
    static int ObjectHits(const shell::Client& c) {
        const physics::ShotTrajectory& t = c.replay.trajectory;
        int hits = 0;
        for (int i = 0; i <= t.trajectoryCount; ++i) {
            hits += t.points[i].objectHit;
        }
        return hits;
    }
};

// Ann's tee shot is re-aimed into the row of pines along the right of the first hole, then swung by
// the built-in player; both clients must log the same resting place and match state.
TEST_F(ReaimSync, AShotReaimedPastTheTreesEndsTheSameOnEveryClient) {
    SeatAutoplayers({.players = 2});
    // The built-in player chooses the club and aims (message 5) at once, then waits a moment before
    // it swings: the re-aim comes in that moment.
    while (CountSent(shell::kMsgShotSetup) == 0 && C(0).clock.NowMs() < 60 * 1000) {
        Tick(50);
    }
    ASSERT_TRUE(shell::LocalTurnActive(C(0)));
    const platform::Vec3 ball = C(0).match.shot.ballPos;
    const platform::Vec3 bobsView = C(1).view.CameraAim;
    shell::AimAt(C(0), {ball.x + 48.0f, ball.y, ball.z + 220.0f});
    Tick(10);
    Tick(10);  // the new aim has reached Bob
    EXPECT_EQ(C(1).match.shot.aimTarget.x, C(0).match.shot.aimTarget.x);
    EXPECT_EQ(C(1).view.CameraAim.x, bobsView.x);  // a new aim redraws the HUD, the view stays
    bool compared = false;
    while (CountSent(shell::kMsgShotEnd) == 0 && C(0).clock.NowMs() < 200 * 1000) {
        Tick(10);
        RecordShots();
        if (!compared && C(0).shell.gameState == GameState::Replay &&
            C(1).shell.gameState == GameState::Replay) {
            compared = true;
            EXPECT_TRUE(SameObjects()) << "the clients simulated against differently turned objects";
            EXPECT_GE(ObjectHits(C(0)), 1) << "the re-aimed shot should meet a tree";
        }
    }
    for (int i = 0; i < 40; ++i) {
        Tick(50);
        RecordShots();
    }
    EXPECT_TRUE(compared);
    ASSERT_EQ(logs_.size(), 2u);
    ASSERT_EQ(logs_[0].size(), 1u);
    EXPECT_EQ(logs_[1], logs_[0]);
}

}  // namespace
