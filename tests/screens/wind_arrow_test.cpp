// The wind indicator's arrow points where the wind moves the ball, seen from behind the ball: a
// wind that blows away from the player points up the picture (away, on the ground), one that
// blows toward him points down, and side winds point to their side.
#include <gtest/gtest.h>

#include "game/physics/wind.h"
#include "tests/screens/hud_fixture.h"

namespace screens {
namespace {

using hud_fixture::HudScreen;

class WindArrow : public HudScreen {
  protected:
    // Where the arrow of the strongest wind is widest, relative to the compass's middle: the base
    // of its head, three times as wide as the shaft, lies on the side the arrow points to.
    struct Widest {
        int dx = 0;  // column holding the most arrow pixels, right of the middle
        int dy = 0;  // row holding the most arrow pixels, below the middle
    };
    Widest ArrowHead(float heading, float direction) {
        view_.viewHeading = heading;
        view_.windDirection = direction;
        view_.windSpeed = physics::kMaxWindSpeed;
        Draw();
        constexpr int kCx = 740, kCy = 378;  // the compass's middle in the cell at (690, 340)
        constexpr int kRx = 38, kRy = 22;
        int columns[2 * kRx + 1] = {};
        int rows[2 * kRy + 1] = {};
        for (int y = -kRy; y <= kRy; ++y) {
            for (int x = -kRx; x <= kRx; ++x) {
                const uint32_t rgb = platform::ReadPixelRgb(*display_.backBuffer, kCx + x, kCy + y);
                if ((rgb >> 16) > 200 && ((rgb >> 8) & 0xFF) < 120 && (rgb & 0xFF) < 110) {
                    ++columns[x + kRx];
                    ++rows[y + kRy];
                }
            }
        }
        Widest w;
        for (int x = -kRx; x <= kRx; ++x) {
            w.dx = columns[x + kRx] > columns[w.dx + kRx] ? x : w.dx;
        }
        for (int y = -kRy; y <= kRy; ++y) {
            w.dy = rows[y + kRy] > rows[w.dy + kRy] ? y : w.dy;
        }
        return w;
    }
};

TEST_F(WindArrow, PointsWhereTheWindBlowsTheBall) {
    const float kPi = 3.1415927f;
    // With the view along +z, the wind of direction d blows along (-sin d, 0, cos d).
    EXPECT_LT(ArrowHead(0.0f, 0.0f).dy, -4) << "a tail wind points away, up the picture";
    EXPECT_GT(ArrowHead(0.0f, kPi).dy, 4) << "a head wind points at the player";
    EXPECT_GT(ArrowHead(0.0f, -kPi / 2).dx, 8) << "a wind toward +x points to the right of the view";
    EXPECT_LT(ArrowHead(0.0f, kPi / 2).dx, -8);
    // Turned with the view: looking along +x, a wind toward +x blows away from the player.
    EXPECT_LT(ArrowHead(kPi / 2, -kPi / 2).dy, -4);
}

}  // namespace
}  // namespace screens
