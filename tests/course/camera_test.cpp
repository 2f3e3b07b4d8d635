#include <gtest/gtest.h>

#include <cmath>

#include "game/course/camera.h"
#include "platform/device3d.h"

namespace {

using course::Vec3;

// Where a rigid view matrix puts its eye: the point it maps to the origin.
Vec3 EyeOf(const platform::Matrix4& v) {
    const float tx = -v.m[3][0], ty = -v.m[3][1], tz = -v.m[3][2];
    return {tx * v.m[0][0] + ty * v.m[0][1] + tz * v.m[0][2],
            tx * v.m[1][0] + ty * v.m[1][1] + tz * v.m[1][2],
            tx * v.m[2][0] + ty * v.m[2][1] + tz * v.m[2][2]};
}

void ExpectNear(Vec3 a, Vec3 b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

class Camera : public ::testing::Test {
  protected:
    void SetUp() override {
        target_ = platform::CreateDrawSurface(800, 600, platform::kRgb565);
        depth_ = platform::CreateDrawSurface(800, 600, platform::kDepth16);
        device_ = platform::CreateDevice3D(*target_, platform::DeviceKind::kSoftware);
        platform::SetRenderTarget(*device_, *target_, depth_);
    }
    void TearDown() override {
        platform::ReleaseDevice3D(device_);
        platform::ReleaseDrawSurface(depth_);
        platform::ReleaseDrawSurface(target_);
    }
    platform::Matrix4 View() const {
        return platform::GetTransform(*device_, platform::TransformType::kView);
    }

    platform::DrawSurface* target_ = nullptr;
    platform::DrawSurface* depth_ = nullptr;
    platform::Device3D* device_ = nullptr;
    course::ViewState view_;
};

TEST_F(Camera, MainViewStandsBehindTheBallAndCentresTheTarget) {
    view_.CameraAnchor = {0, 10, 0};
    view_.CameraAim = {0, 10, 100};
    course::PlaceMainCamera(*device_, view_, 800, 600);
    ExpectNear(EyeOf(View()), {0, 12.56f, -8});
    int pixel[2] = {};
    float w = 0;
    ASSERT_TRUE(course::ProjectToScreen(*device_, {0, 12.16f, 0}, nullptr, pixel, &w));
    EXPECT_EQ(pixel[0], 400);
    EXPECT_EQ(pixel[1], 300);
    EXPECT_NEAR(w, 1.0f + std::sqrt(64.0f + 0.16f), 1e-3f);
    EXPECT_NEAR(device_->projection.m[0][0], 2.38648f, 1e-4f);
    EXPECT_NEAR(device_->projection.m[1][1], 3.26042f, 1e-4f);
    // Behind the viewer nothing is projected.
    EXPECT_FALSE(course::ProjectToScreen(*device_, {0, 12.56f, -20}, nullptr, pixel, &w));
}

TEST_F(Camera, AimAboveTheBallKeepsThePreviousDirection) {
    view_.CameraAnchor = {5, 0, 5};
    view_.CameraAim = {5, 0, 50};
    course::PlaceMainCamera(*device_, view_, 800, 600);
    view_.CameraAim = {5, 3, 5};
    course::PlaceMainCamera(*device_, view_, 800, 600);
    const platform::Matrix4 v = View();
    ExpectNear(EyeOf(v), {5, 2.56f, -3});
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_TRUE(std::isfinite(v.m[i][j]));
        }
    }
}

TEST_F(Camera, LookAtRefusesCoincidentPointsAndFindsAnUpForStraightDown) {
    platform::Matrix4 m = platform::IdentityMatrix();
    EXPECT_FALSE(course::LookAtMatrix({1, 2, 3}, {1, 2, 3}, {0, 1, 0}, m));
    EXPECT_FLOAT_EQ(m.m[0][0], 1.0f);
    ASSERT_TRUE(course::LookAtMatrix({0, 10, 0}, {0, 9, 0}, {0, 1, 0}, m));
    // +z is up on the picture and +x to the right.
    EXPECT_FLOAT_EQ(m.m[2][1], 1.0f);
    EXPECT_FLOAT_EQ(m.m[0][0], 1.0f);
}

TEST_F(Camera, MapCameraFramesTeeToPinOrHangsOverTheGreen) {
    course::PlaceMapCamera(*device_, {0, 0, 0}, {0, 0, 400}, false);
    ExpectNear(EyeOf(View()), {0, 400.0f / 1.55f, 215}, 1e-2f);
    EXPECT_NEAR(400.0f / 1.55f, 258.06f, 0.01f);
    int pixel[2] = {};
    ASSERT_TRUE(course::ProjectToScreen(*device_, {0, 0, 215}, nullptr, pixel, nullptr));
    EXPECT_EQ(pixel[0], 80);
    EXPECT_EQ(pixel[1], 150);
    // Further along the hole is higher up the panel.
    ASSERT_TRUE(course::ProjectToScreen(*device_, {0, 0, 300}, nullptr, pixel, nullptr));
    EXPECT_LT(pixel[1], 150);

    course::PlaceMapCamera(*device_, {0, 0, 0}, {3, 2, 400}, true);
    ExpectNear(EyeOf(View()), {3, 62, 400}, 1e-2f);
}

TEST_F(Camera, InsetFollowsTheBallAtHalfDistanceFromTheGreen) {
    view_.CameraAnchor = {0, 0, 0};
    view_.CameraAim = {0, 0, 10};
    course::PlaceInsetCamera(*device_, view_, {1, 2, 50}, false);
    ExpectNear(EyeOf(View()), {1, 5, 45});
    EXPECT_EQ(device_->viewport.x, 550);
    EXPECT_NEAR(device_->projection.m[0][0], 1.55557f, 1e-4f);
    course::PlaceInsetCamera(*device_, view_, {1, 2, 50}, true);
    ExpectNear(EyeOf(View()), {1, 3.5f, 47.5f});
}

TEST_F(Camera, DepthReadBackGivesTheDrawnPointAndHidesPointsBehindIt) {
    view_.CameraAnchor = {0, 0, 0};
    view_.CameraAim = {0, 0, 100};
    course::PlaceMainCamera(*device_, view_, 800, 600);
    platform::SetRenderState(*device_, platform::kRsZEnable, 1);
    platform::SetRenderState(*device_, platform::kRsLighting, 0);
    platform::Clear(*device_, nullptr, 0, platform::kClearTarget | platform::kClearZBuffer, 0, 1.0f);
    // The ground, and a wall 5 yards high across the hole 30 yards out.
    const platform::DeviceVertex ground[4] = {{-100, 0, -20, 0, 1, 0, 0, 0},
                                              {-100, 0, 200, 0, 1, 0, 0, 0},
                                              {100, 0, 200, 0, 1, 0, 0, 0},
                                              {100, 0, -20, 0, 1, 0, 0, 0}};
    const platform::DeviceVertex wall[4] = {{-100, 0, 30, 0, 0, -1, 0, 0},
                                            {-100, 5, 30, 0, 0, -1, 0, 0},
                                            {100, 5, 30, 0, 0, -1, 0, 0},
                                            {100, 0, 30, 0, 0, -1, 0, 0}};
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    platform::SetRenderState(*device_, platform::kRsCullMode, platform::kCullNone);
    platform::BeginScene(*device_);
    platform::DrawIndexedPrimitive(*device_, platform::kPrimitiveTriangleList,
                                   platform::kVertexFormatPositionNormalTex1, ground, 4, quad, 6);
    platform::DrawIndexedPrimitive(*device_, platform::kPrimitiveTriangleList,
                                   platform::kVertexFormatPositionNormalTex1, wall, 4, quad, 6);
    platform::EndScene(*device_);

    for (const Vec3 p : {Vec3{0, 0, 5}, Vec3{-3, 0, 12}, Vec3{4, 0, 20}, Vec3{0, 3, 30}}) {
        int pixel[2] = {};
        ASSERT_TRUE(course::ProjectToScreen(*device_, p, nullptr, pixel, nullptr));
        Vec3 drawn;
        ASSERT_TRUE(course::ScreenToWorldByDepth(*device_, pixel[0], pixel[1], drawn));
        ExpectNear(drawn, p, 0.02f * (p.z + 8.0f));  // a pixel spans more ground further out
    }
    int pixel[2] = {};
    float w = 0;
    EXPECT_TRUE(course::IsPointVisible(*device_, view_, {0, 1, 20}, pixel, &w));
    EXPECT_FALSE(course::IsPointVisible(*device_, view_, {0, 1, 60}, pixel, &w));  // behind the wall
    Vec3 drawn;
    EXPECT_FALSE(course::ScreenToWorldByDepth(*device_, 400, 5, drawn));  // above the wall: nothing
    EXPECT_FALSE(course::ScreenToWorldByDepth(*device_, 800, 300, drawn));
    EXPECT_TRUE(course::IsPointVisible(*device_, view_, {0, 80, 400}, pixel, &w));  // in the empty sky

    // A ball path: seen, hidden behind the wall, and a last point left out (holed or in water).
    const course::PathScreenPoint seen = course::PlacePathPoint(*device_, view_, {0, 1, 20}, false);
    EXPECT_EQ(seen.visible, 1);
    EXPECT_GT(seen.scale, 20.0f);  // the projected w
    EXPECT_EQ(seen.screen[0], 400);
    const course::PathScreenPoint behind = course::PlacePathPoint(*device_, view_, {0, 1, 60}, false);
    EXPECT_EQ(behind.visible, 0);
    EXPECT_FLOAT_EQ(behind.scale, 1.0f);
    EXPECT_EQ(course::PlacePathPoint(*device_, view_, {0, 1, 10}, true).visible, 0);
}

}  // namespace
