#include "tools/toolkit/data_set_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/toolkit/fnx_writer.h"

namespace {

TEST(DataSetCheck, RangesExpandWithTheirWidth) {
    EXPECT_EQ(tools::ExpandListedName("Sky/Sky{00..02}.fni"),
              (std::vector<std::string>{"Sky/Sky00.fni", "Sky/Sky01.fni", "Sky/Sky02.fni"}));
    EXPECT_EQ(tools::ExpandListedName("Image/BClubM{0..1}.fni"),
              (std::vector<std::string>{"Image/BClubM0.fni", "Image/BClubM1.fni"}));
    EXPECT_EQ(tools::ExpandListedName("Option.ini"), (std::vector<std::string>{"Option.ini"}));
}

TEST(DataSetCheck, TexturesResolveByTheirFirstCharacter) {
    EXPECT_EQ(tools::TexturePathOf("T012.fni", "Map/Club_01/Hole_01"), "Nature/T012.fni");
    EXPECT_EQ(tools::TexturePathOf("Bgreen.bmp", "Map/Club_01/Hole_01"), "Map/Club_01/Hole_01/Bgreen.fni");
    EXPECT_EQ(tools::TexturePathOf("rough.bmp", "Map/Club_01/Hole_01"), "Texture/rough.fni");
    EXPECT_EQ(tools::TexturePathOf("Tee.fni", ""), "Nature/T000.fni");  // every "T" name is scenery
    EXPECT_EQ(tools::TexturePathOf("", "x"), "");
}

TEST(DataSetCheck, ReportsMissingFilesAndTexturesButOnlyCountsLaterArt) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "datacheck";
    fs::remove_all(root);
    fs::create_directories(root / "Map/Hole");
    std::ofstream(root / "Option.ini") << "LANGUAGE ENG\n";
    core::FnxModel model;
    model.materials.resize(2);
    std::snprintf(model.materials[0].textureName, sizeof model.materials[0].textureName, "Bsky.fni");
    std::snprintf(model.materials[1].textureName, sizeof model.materials[1].textureName, "T005.fni");
    ASSERT_TRUE(tools::WriteFnxModel(model, (root / "Map/Hole/HoleData.fnx").string()));
    std::ofstream(root / "Map/Hole/Bsky.fni") << "x";

    const tools::DataSetReport report = tools::CheckDataSet(
        root.string(), "# list\nOption.ini\nVersion.ini\nMap/Hole/HoleData.fnx\n[later]\nSound/Back.wav\n");
    EXPECT_EQ(report.missing,
              (std::vector<std::string>{"Version.ini", "Nature/T005.fni (named by Map/Hole/HoleData.fnx)"}));
    EXPECT_EQ(report.pending, (std::vector<std::string>{"Sound/Back.wav"}));
    // A hole model without ground leaves the ball nothing to land on.
    ASSERT_EQ(report.broken.size(), 3u);
    EXPECT_EQ(report.broken[0],
              "Map/Hole/HoleData.fnx: no ground at (-200.00, -100.00) inside the terrain grid");
    fs::remove_all(root);
}

}  // namespace
