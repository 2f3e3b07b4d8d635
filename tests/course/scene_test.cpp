#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/course/fnx_loader.h"
#include "game/course/main_view_reuse.h"
#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "platform/device3d.h"
#include "tests/course/model_fixtures.h"

namespace {

using course::Vec3;

TEST(SceneRules, OtherBallsAreShownByTeamTeeHoledAndDistance) {
    course::SceneInputs in;
    in.playerCount = 4;
    in.currentPlayer = 1;
    const Vec3 tee{0, 1, 0};
    for (course::PlayerBall& b : in.balls) {
        b.position = {5, 1, 50};
    }
    EXPECT_TRUE(course::ShowsOtherBall(in, tee, 0));
    EXPECT_FALSE(course::ShowsOtherBall(in, tee, 1));  // the player's own ball is the HUD's
    in.teamPlay = true;
    EXPECT_FALSE(course::ShowsOtherBall(in, tee, 0));  // team mate
    EXPECT_TRUE(course::ShowsOtherBall(in, tee, 2));
    in.balls[2].position = tee;
    EXPECT_FALSE(course::ShowsOtherBall(in, tee, 2));
    in.balls[3].holed = true;
    EXPECT_FALSE(course::ShowsOtherBall(in, tee, 3));
    in.playerCount = 2;
    in.teamPlay = false;
    EXPECT_FALSE(course::ShowsOtherBall(in, tee, 3));

    EXPECT_FALSE(course::UsesFarBall({9.99f, 0, 0}, {0, 5, 0}));
    EXPECT_TRUE(course::UsesFarBall({6, 0, 8}, {0, 5, 0}));
}

TEST(SceneRules, GreenGridColoursRunFromDarkToLight) {
    uint32_t colors[11];
    course::GreenGridColors(colors);
    EXPECT_EQ(colors[0], 0x718064u);
    EXPECT_EQ(colors[5], 0x97AB86u);
    EXPECT_EQ(colors[10], 0xBCD5A7u);
}

TEST(SceneRules, ObjectsWithinEightYardsOfTheEyeAreCulled) {
    course::HoleState hole;
    hole.objects.centres = {{0, 0, -0.1f}, {0, 0, 0.1f}, {7.9f, 0, -8}};
    course::ViewState view;
    view.CameraAnchor = {0, 3, 0};
    view.CameraAim = {0, 0, 100};  // the eye stands at (0, 5.56, -8)
    EXPECT_FALSE(course::ObjectInView(hole, view, 0));
    EXPECT_TRUE(course::ObjectInView(hole, view, 1));
    EXPECT_FALSE(course::ObjectInView(hole, view, 2));
    EXPECT_TRUE(course::ObjectInView(hole, view, 7));  // not an object: never culled
}

// The scene drawn on a real display from a hole made in memory.
class SceneDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(present::InitDisplay(display_, nullptr, 0), 0);
        model_ = new core::FnxModel();
        core::FnxMaterial white;
        white.diffuse = {1, 1, 1, 1};
        white.ambient = {1, 1, 1, 1};
        model_->materials.push_back(white);
        model_->materialCount = 1;
        // A textured fairway left of the hole's line, an untextured one right of it.
        fixtures::AddFlatQuad(*model_, "FWY1", -60, -20, 0, 300, 0).materialIndex = 0;
        fixtures::AddFlatQuad(*model_, "FWY2", 0, -20, 60, 300, 0);
        // An object standing just in front of the viewer, across the view.
        fixtures::AddGroup(*model_, "RSTa",
                           {fixtures::V(-3, 0, -0.1f), fixtures::V(-3, 4, -0.1f), fixtures::V(3, 4, -0.1f),
                            fixtures::V(3, 0, -0.1f)},
                           {0, 1, 2, 0, 2, 3}, 0);
        hole_.HoleModel.reset(model_);
        hole_.HoleMaterials.resize(1);
        hole_.HoleMaterials[0].diffuse = {1, 1, 1, 1};
        hole_.HoleMaterials[0].ambient = {1, 1, 1, 1};
        red_ = platform::CreateDeviceTexture(4, 4, platform::kArgb1555);
        platform::LockedPixels px;
        platform::LockSurface(*red_->surface, px);
        for (int y = 0; y < px.height; ++y) {
            for (int x = 0; x < px.width; ++x) {
                px.bits[y * px.pitch + 2 * x] = 0x00;  // opaque red, 0xFC00
                px.bits[y * px.pitch + 2 * x + 1] = 0xFC;
            }
        }
        platform::UnlockSurface(*red_->surface);
        hole_.HoleTextures.emplace_back(red_);  // the hole owns it from here
        hole_.grid = course::BuildTerrainGrid(*model_);
        course::PrepareObjects(*model_, hole_.grid, hole_.objects);
        hole_.prepared = true;
        platform::Device3D& device = *display_.device;
        platform::SetRenderState(device, platform::kRsZEnable, 1);
        platform::SetRenderState(device, platform::kRsAmbient, 0xFFFFFF);
        platform::SetRenderState(device, platform::kRsCullMode, platform::kCullNone);
        platform::DeviceLight sun;
        sun.diffuse = {1, 1, 1, 1};
        sun.direction = {0, -1, 0};
        platform::SetLight(device, 0, sun);
        platform::LightEnable(device, 0, true);
        view_.CameraAnchor = {0, 0, 0};
        view_.CameraAim = {0, 0, 100};
        inputs_.startPos = {0, 0, 0};
    }
    void TearDown() override {
        course::ReleaseHolePreparation(hole_);
        hole_.HoleTextures.clear();
        hole_.HoleModel.reset();
        present::ReleaseDisplay(display_);
    }
    uint32_t Pixel(int x, int y) { return platform::ReadPixelRgb(*display_.backBuffer, x, y); }
    uint32_t Saved(int x, int y) { return platform::ReadPixelRgb(*display_.sceneCopySurface, x, y); }

    present::Display display_;
    core::FnxModel* model_ = nullptr;
    platform::DeviceTexture* red_ = nullptr;
    course::HoleState hole_;
    course::ViewState view_;
    course::SceneInputs inputs_;
};

bool Reddish(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) > 0xC0 && ((rgb >> 8) & 0xFF) < 0x40;
}

TEST_F(SceneDrawing, UntexturedGroupAfterATexturedOneAndTheNearObjectCull) {
    course::PlaceMainCamera(*display_.device, view_, 800, 600);
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    EXPECT_TRUE(Reddish(Pixel(200, 500)));   // textured fairway
    EXPECT_FALSE(Reddish(Pixel(600, 500)));  // material 5000: no texture
    EXPECT_NE(Pixel(600, 500), 0u);
    EXPECT_EQ(Pixel(600, 500), Saved(600, 500));  // the scene is kept
    // No view leaves a texture bound that the hole may release.
    EXPECT_EQ(display_.device->textures[0], nullptr);
    ASSERT_TRUE(course::DrawMapScene(*display_.device, hole_));
    EXPECT_EQ(display_.device->textures[0], nullptr);

    // The object 7.9 yards from the eye is left out of the main view but drawn in the inset.
    course::PlaceInsetCamera(*display_.device, view_, {0, 0, 1}, false);
    ASSERT_TRUE(course::DrawInsetScene(*display_.device, hole_, inputs_, {0, 0, 1}));
    EXPECT_EQ(display_.device->textures[0], nullptr);
    int insetRed = 0;
    for (int x = 560; x < 780; x += 10) {
        insetRed += Reddish(Pixel(x, 420)) ? 1 : 0;
    }
    EXPECT_GT(insetRed, 10);
}

TEST_F(SceneDrawing, GreenGridIsSavedWithTheSceneOnlyWhenOn) {
    course::PlaceMainCamera(*display_.device, view_, 800, 600);
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    std::vector<uint32_t> without;
    for (int y = 300; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            without.push_back(Saved(x, y));
        }
    }
    inputs_.GreenGridOn = true;
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    int changed = 0;
    for (int y = 300, i = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x, ++i) {
            changed += Saved(x, y) != without[static_cast<size_t>(i)] ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 500);
}

// A redraw with nothing changed puts the saved view back (whatever was drawn over it since); a
// moved camera, a changed input or anything drawn into the depth surface draws the view again.
TEST_F(SceneDrawing, UnchangedMainViewIsRestoredAndAnyChangeDrawsItAgain) {
    platform::Device3D& device = *display_.device;
    course::MainViewRecord record;
    const auto drawsAgain = [&] {
        const uint32_t before = display_.sceneCopySurface->changeCount;
        EXPECT_TRUE(course::DrawOrRestoreMainScene(display_, hole_, view_, inputs_, record));
        return display_.sceneCopySurface->changeCount != before;
    };
    course::PlaceMainCamera(device, view_, 800, 600);
    EXPECT_TRUE(drawsAgain());
    const uint32_t fairway = Pixel(200, 500);
    const platform::SurfaceRect scribble{100, 400, 300, 600};
    platform::ColorFill(*display_.backBuffer, &scribble, 0);
    EXPECT_FALSE(drawsAgain());
    EXPECT_EQ(Pixel(200, 500), fairway);

    inputs_.balls[2].position.x += 1.0f;
    EXPECT_TRUE(drawsAgain());
    EXPECT_FALSE(drawsAgain());
    inputs_.GreenGridOn = true;
    EXPECT_TRUE(drawsAgain());
    view_.CameraAim.x += 5.0f;
    course::PlaceMainCamera(device, view_, 800, 600);
    EXPECT_TRUE(drawsAgain());
    // The map panel clears its part of the depth surface that picking in the view reads.
    ASSERT_TRUE(course::DrawMapScene(device, hole_));
    course::PlaceMainCamera(device, view_, 800, 600);
    EXPECT_TRUE(drawsAgain());
    EXPECT_FALSE(drawsAgain());
}

// A new ball position or aim keeps the map panel's picture; a new pin, the green or anything drawn
// into the panel draws the map again.
TEST_F(SceneDrawing, MapPanelIsDrawnAgainOnlyWhenItsPictureWouldChange) {
    hole_.TeePoint = {0, 0, 0};
    hole_.MapPinPoint = {0, 0, 250};
    inputs_.pinPosition = hole_.MapPinPoint;
    platform::DrawSurface& panel = *display_.mapPanelSurface;
    const auto drawsAgain = [&](Vec3 ball, Vec3 aim) {
        const uint32_t before = panel.changeCount;
        course::ResetView(display_, hole_, view_, inputs_, ball, aim);
        return panel.changeCount != before;
    };
    EXPECT_TRUE(drawsAgain({0, 0, 0}, {0, 0, 100}));
    EXPECT_NE(platform::ReadPixelRgb(panel, 80, 150), 0u);  // the map, not the see-through black
    const int pin[2] = {view_.MapPinPos[0], view_.MapPinPos[1]};
    EXPECT_GT(pin[1], 0);
    EXPECT_LT(pin[1], 150);  // the pin lies up the panel from the tee
    EXPECT_FALSE(drawsAgain({2, 0, 120}, {10, 0, 240}));
    EXPECT_EQ(view_.MapPinPos[0], pin[0]);
    EXPECT_EQ(view_.MapPinPos[1], pin[1]);
    EXPECT_EQ(view_.CameraAim.x, 10.0f);  // the main view still follows

    inputs_.pinPosition.z = 240;
    EXPECT_TRUE(drawsAgain({2, 0, 120}, {10, 0, 240}));
    EXPECT_GT(view_.MapPinPos[1], pin[1]);
    inputs_.surface = core::kSurfaceGreen;
    EXPECT_TRUE(drawsAgain({2, 0, 230}, {0, 0, 240}));
    EXPECT_FALSE(drawsAgain({2, 0, 231}, {0, 0, 240}));
    const platform::SurfaceRect scribble{10, 10, 20, 20};
    platform::ColorFill(panel, &scribble, 0);
    EXPECT_TRUE(drawsAgain({2, 0, 231}, {0, 0, 240}));
}

TEST_F(SceneDrawing, GreenGridPassesBehindWhatStandsNearer) {
    // A post 1.5 yards high and 1 wide stands on the grid 6 yards ahead of the ball.
    fixtures::AddGroup(*model_, "SSTpostS",
                       {fixtures::V(-0.5f, 0, 6), fixtures::V(-0.5f, 1.5f, 6), fixtures::V(0.5f, 1.5f, 6),
                        fixtures::V(0.5f, 0, 6)},
                       {0, 1, 2, 0, 2, 3}, 0);
    course::ReleaseHolePreparation(hole_);
    hole_.grid = course::BuildTerrainGrid(*model_);
    course::PrepareObjects(*model_, hole_.grid, hole_.objects);
    hole_.prepared = true;
    course::PlaceMainCamera(*display_.device, view_, 800, 600);
    int top[2] = {}, bottom[2] = {};
    ASSERT_TRUE(course::ProjectToScreen(*display_.device, {0, 1.4f, 6}, nullptr, top, nullptr));
    ASSERT_TRUE(course::ProjectToScreen(*display_.device, {0, 0.1f, 6}, nullptr, bottom, nullptr));
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    const uint32_t post = Saved(top[0], (top[1] + bottom[1]) / 2);
    inputs_.GreenGridOn = true;
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    // The post hides the lines behind it: its middle column keeps its colour all the way down.
    for (int y = top[1]; y < bottom[1]; ++y) {
        EXPECT_EQ(Saved(top[0], y), post) << y;
    }
    // Beside it the lines still show on the ground beyond the post.
    int lines = 0;
    for (int y = top[1]; y < bottom[1]; ++y) {
        lines += Saved(top[0] + 60, y) != Saved(top[0] + 60, bottom[1] + 30) ? 1 : 0;
    }
    EXPECT_GT(lines, 0);
}

TEST_F(SceneDrawing, BackdropIsUnlitAndOnlyUpperCasePrefixesMakeBackdropOrObjects) {
    platform::Device3D& device = *display_.device;
    platform::LightEnable(device, 0, false);
    platform::SetRenderState(device, platform::kRsAmbient, 0);
    const auto brightness = [](uint32_t rgb) {
        return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF);
    };

    std::strcpy(model_->groups[1].name, "BAK2");
    course::PlaceMainCamera(device, view_, 800, 600);
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    EXPECT_GT(brightness(Pixel(600, 500)), 600u);  // full ambient white, whatever the lights
    course::PlaceMapCamera(device, {0, 0, 0}, {0, 0, 200}, false);
    ASSERT_TRUE(course::DrawMapScene(device, hole_));
    EXPECT_EQ(Pixel(750, 150), platform::ReadPixelRgb(*display_.backBuffer, 785, 15));  // not on the map

    std::strcpy(model_->groups[1].name, "bak2");  // terrain of no known kind
    course::PlaceMainCamera(device, view_, 800, 600);
    ASSERT_TRUE(course::DrawMainScene(display_, hole_, view_, inputs_));
    EXPECT_LT(brightness(Pixel(600, 500)), 300u);  // lit, and there is no light: dark but for the fog
    course::PlaceMapCamera(device, {0, 0, 0}, {0, 0, 200}, false);
    platform::LightEnable(device, 0, true);
    ASSERT_TRUE(course::DrawMapScene(device, hole_));
    EXPECT_NE(Pixel(750, 150), platform::ReadPixelRgb(*display_.backBuffer, 785, 15));
}

}  // namespace
