#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/png_file.h"
#include "tests/course/hole_files.h"
#include "tools/toolkit/data_files.h"

namespace {

namespace fs = std::filesystem;

// A small hole with coloured materials and an object, so that a rendering fault shows as a change
// of colour somewhere in the picture.
fixtures::FnxModel ColouredHole() {
    fixtures::FnxModel model = fixtures::SmallHole();
    const auto material = [&](float r, float g, float b) {
        core::FnxMaterial m;
        m.diffuse = {r, g, b, 1};
        m.ambient = {r * 0.4f, g * 0.4f, b * 0.4f, 1};
        model.materials.push_back(m);
        return static_cast<uint16_t>(model.materials.size() - 1);
    };
    model.groups[0].materialIndex = material(0.2f, 0.6f, 0.2f);
    model.groups[1].materialIndex = material(0.4f, 0.9f, 0.4f);
    fixtures::AddGroup(
        model, "SSTpost",
        {fixtures::V(-8, 1, 60), fixtures::V(-8, 9, 60), fixtures::V(-6, 9, 60), fixtures::V(-6, 1, 60)},
        {0, 1, 2, 0, 2, 3}, material(0.6f, 0.3f, 0.1f));
    model.materialCount = static_cast<uint16_t>(model.materials.size());
    return model;
}

class HoleView : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("holeview_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fixtures::WriteHoleFiles(dir_, 1, 1, ColouredHole());
        shell::HoleSettings settings;
        settings.tee[1] = 0;
        settings.defaultAim[1] = 120;
        settings.pin[1] = 185;
        settings.par = 4;
        const std::vector<uint8_t> bytes = tools::EncodeHoleSettings(settings);
        std::ofstream(dir_ / "Map" / "Club_01" / "Hole_01" / "Hole.ini", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void TearDown() override { fs::remove_all(dir_); }
    int Run(const std::string& view) {
        const std::string command = std::string(BRIGHTLEA_BIN_DIR) + "/holeview " + dir_.string() + " 1 1 " +
                                    (dir_ / "view.png").string() + " " + view + " 2> " +
                                    (dir_ / "err").string();
        return std::system(command.c_str());
    }
    fs::path dir_;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
};

Picture Read(const fs::path& path) {
    Picture p;
    EXPECT_EQ(platform::ReadPng(path.string().c_str(), p.width, p.height, p.rgb), 0) << path;
    return p;
}

// Pixels whose colour moved by more than a little on any channel.
int DifferingPixels(const Picture& a, const Picture& b) {
    int count = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int d =
                static_cast<int>((a.rgb[i] >> shift) & 0xFF) - static_cast<int>((b.rgb[i] >> shift) & 0xFF);
            if (d > 24 || d < -24) {
                ++count;
                break;
            }
        }
    }
    return count;
}

// Compares a picture the viewer wrote with its stored reference. After a deliberate change of the
// renderer or the HUD, a run with BRIGHTLEA_UPDATE_REFERENCE set takes the new pictures as the
// reference (look at them first).
void ExpectMatchesReference(const fs::path& made_path, const char* name) {
    const fs::path reference = fs::path(BRIGHTLEA_SOURCE_DIR) / "tests" / "tools" / "reference";
    if (std::getenv("BRIGHTLEA_UPDATE_REFERENCE") != nullptr) {
        fs::copy_file(made_path, reference / name, fs::copy_options::overwrite_existing);
    }
    const Picture made = Read(made_path);
    const Picture expected = Read(reference / name);
    ASSERT_EQ(made.width, expected.width) << name;
    ASSERT_EQ(made.height, expected.height) << name;
    // A little noise (dithering, rounding, text edges) is allowed; a change of what is drawn is not.
    EXPECT_LT(DifferingPixels(made, expected), made.width * made.height / 200) << name;
}

TEST_F(HoleView, PicturesMatchTheReference) {
    ASSERT_EQ(Run("tee"), 0);
    for (const char* name : {"view.png", "view_map.png", "view_inset.png"}) {
        ExpectMatchesReference(dir_ / name, name);
    }
}

// The full play screen: the HUD of the local player's turn in a four-player match over the view,
// drawn with the data set's pictures.
TEST_F(HoleView, PlayScreenMatchesTheReference) {
    const fs::path data = BRIGHTLEA_GAMEDATA_DIR;
    if (!fs::exists(data / "Image" / "BShot.fni") || !fs::exists(data / "Golfer" / "Small" / "MD00.fni")) {
        GTEST_SKIP() << "the data set with the HUD pictures is not built";
    }
    // The HUD's pictures join the test hole's own files.
    fs::create_directories(dir_ / "Image");
    for (const fs::directory_entry& entry : fs::directory_iterator(data / "Image")) {
        if (!fs::exists(dir_ / "Image" / entry.path().filename())) {
            fs::create_symlink(entry.path(), dir_ / "Image" / entry.path().filename());
        }
    }
    fs::create_directory_symlink(data / "Golfer", dir_ / "Golfer");
    ASSERT_EQ(Run("tee --players 4 --club 5 --lie 1 --hover club --wind 0.6,1.5"), 0);
    ExpectMatchesReference(dir_ / "view_play.png", "view_play.png");
}

TEST_F(HoleView, RefusesMissingHolesAndUnknownViews) {
    EXPECT_NE(Run("sideways"), 0);
    fs::remove(dir_ / "Map" / "Club_01" / "Hole_01" / "HoleData.fnx");
    EXPECT_NE(Run("tee"), 0);
    std::ifstream err(dir_ / "err");
    const std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find("HoleData.fnx"), std::string::npos);
}

}  // namespace
