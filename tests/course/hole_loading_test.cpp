#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/course/hole_state.h"
#include "platform/device3d.h"
#include "tests/course/hole_files.h"

namespace {

TEST(TexturePicture, FirstCharacterChoosesTheFolderAndTransparency) {
    const course::TexturePicture scenery = course::ResolveTexturePicture("T012", 1, 2);
    EXPECT_EQ(scenery.path, "Nature/T012.fni");
    EXPECT_TRUE(scenery.honourTransparent);
    const course::TexturePicture own = course::ResolveTexturePicture("Bgreen.bmp", 1, 2);
    EXPECT_EQ(own.path, "Map/Club_01/Hole_02/Bgreen.fni");
    EXPECT_TRUE(own.honourTransparent);
    const course::TexturePicture common = course::ResolveTexturePicture("rough.bmp", 1, 2);
    EXPECT_EQ(common.path, "Texture/rough.fni");
    EXPECT_FALSE(common.honourTransparent);
    EXPECT_TRUE(course::ResolveTexturePicture("", 1, 2).path.empty());
    EXPECT_EQ(course::ResolveTexturePicture("T7", 1, 2).path, "Nature/T007.fni");
}

// A device on a small target in a game folder of its own.
class HoleLoading : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("hole_loading_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        target_ = platform::CreateDrawSurface(64, 48, platform::kRgb565);
        device_ = platform::CreateDevice3D(*target_, platform::DeviceKind::kSoftware);
    }
    void TearDown() override {
        course::UnloadHole(hole_);
        platform::ReleaseDevice3D(device_);
        platform::ReleaseDrawSurface(target_);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    bool Load() { return course::LoadHole(hole_, *device_, 1, 3, error_); }

    std::filesystem::path dir_, previous_;
    platform::DrawSurface* target_ = nullptr;
    platform::Device3D* device_ = nullptr;
    course::HoleState hole_;
    std::string error_;
};

TEST_F(HoleLoading, LoadsModelsLightsAndBallAndSeatsThePoints) {
    fixtures::WriteHoleFiles(dir_, 1, 3);
    ASSERT_TRUE(Load()) << error_;
    ASSERT_NE(hole_.HoleModel, nullptr);
    EXPECT_EQ(hole_.BallVertices.size(), 4u);
    EXPECT_EQ(hole_.HoleTextures.size(), hole_.HoleModel->materials.size());
    EXPECT_FLOAT_EQ(hole_.BallMaterials[1].diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(hole_.BallMaterials[0].diffuse.b, 1.0f);
    EXPECT_EQ(hole_.FlagIndices[5], 3);
    EXPECT_FLOAT_EQ(hole_.FlagQuad[0].y, 3.0f);
    ASSERT_EQ(device_->lightEnabled.size(), 1u);
    EXPECT_TRUE(device_->lightEnabled[0]);
    EXPECT_FLOAT_EQ(device_->lights[0].attenuation0, 1.0f);
    EXPECT_EQ(platform::GetRenderState(*device_, platform::kRsLighting), 1u);

    const float tee[2] = {0, 0}, aim[2] = {0, 100}, pin[2] = {0, 185};
    course::PrepareHole(hole_, tee, aim, pin);
    EXPECT_FLOAT_EQ(hole_.TeePoint.y, 1.0f);
    EXPECT_FLOAT_EQ(hole_.MapPinPoint.y, 1.05f);
    EXPECT_FLOAT_EQ(hole_.DefaultAim.z, 100.0f);
}

TEST_F(HoleLoading, MissingOrBrokenModelsRefuseTheHoleAndKeepNothing) {
    EXPECT_FALSE(Load());
    EXPECT_NE(error_.find("Map/Club_01/Hole_03/HoleData.fnx"), std::string::npos);
    EXPECT_EQ(hole_.HoleModel, nullptr);

    fixtures::WriteHoleFiles(dir_, 1, 3);
    std::ofstream(dir_ / "Image" / "SBall.fnx", std::ios::binary) << "FNX3DF";  // cut short
    EXPECT_FALSE(Load());
    EXPECT_NE(error_.find("SBall.fnx"), std::string::npos);
    EXPECT_EQ(hole_.HoleModel, nullptr);
    EXPECT_EQ(hole_.BallModel, nullptr);
}

TEST_F(HoleLoading, BallModelsOfDifferentSizesAreRefused) {
    fixtures::WriteHoleFiles(dir_, 1, 3);
    fixtures::FnxModel bigger = fixtures::SmallBall();
    bigger.groups[0].vertices.push_back(fixtures::V(1, 1, 1));
    bigger.groups[0].vertexCount = 5;
    tools::WriteFnxModel(bigger, (dir_ / "Image" / "SBall.fnx").string());
    EXPECT_FALSE(Load());
    EXPECT_NE(error_.find("ball"), std::string::npos);
    EXPECT_TRUE(hole_.BallVertices.empty());
}

}  // namespace
