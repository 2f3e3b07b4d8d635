// Every hole of the bundled demo course: its tee, default aim point and pin lie on the ground of
// the surfaces a player expects, and a drive and a putt can be played there.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/course/course_objects.h"
#include "game/course/fnx_loader.h"
#include "game/course/terrain_grid.h"
#include "game/physics/ball_flight.h"
#include "game/physics/club_table.h"
#include "game/shell/launch/launch_files.h"

namespace course {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> HoleFolders() {
    std::vector<fs::path> holes;
    std::error_code ec;
    for (const auto& club : fs::directory_iterator(fs::path(BRIGHTLEA_GAMEDATA_DIR) / "Map", ec)) {
        for (const auto& hole : fs::directory_iterator(club.path(), ec)) {
            if (fs::exists(hole.path() / "HoleData.fnx")) {
                holes.push_back(hole.path());
            }
        }
    }
    std::sort(holes.begin(), holes.end());
    return holes;
}

struct Probe {
    bool found = false;
    core::SurfaceKind kind = core::kSurfaceNone;
    Vec3 point;
};

Probe ProbeAt(const core::FnxModel& model, const TerrainGrid& grid, const float xz[2]) {
    Probe probe;
    probe.point = {xz[0], 0.0f, xz[1]};
    int group = -1;
    probe.found = TerrainHeightAt(grid, probe.point, nullptr, &group);
    probe.kind = core::SurfaceKindOfGroup(model, group);
    return probe;
}

TEST(DemoCourse, TeeAimAndPinLieOnTheirSurfacesAndShotsCanBePlayed) {
    const std::vector<fs::path> holes = HoleFolders();
    if (holes.empty()) {
        GTEST_SKIP() << "no data set built in " << BRIGHTLEA_GAMEDATA_DIR;
    }
    for (const fs::path& folder : holes) {
        SCOPED_TRACE(folder.string());
        std::unique_ptr<core::FnxModel, void (*)(core::FnxModel*)> model(
            LoadFnxModel((folder / "HoleData.fnx").string()), FreeFnxModel);
        ASSERT_TRUE(model);
        std::ifstream file(folder / "Hole.ini", std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        shell::HoleSettings settings;
        ASSERT_TRUE(shell::ParseHoleSettings(bytes, settings));

        const TerrainGrid grid = BuildTerrainGrid(*model);
        CourseObjects objects;
        PrepareObjects(*model, grid, objects);
        const Probe tee = ProbeAt(*model, grid, settings.tee);
        const Probe aim = ProbeAt(*model, grid, settings.defaultAim);
        const Probe pin = ProbeAt(*model, grid, settings.pin);
        ASSERT_TRUE(tee.found && aim.found && pin.found);
        EXPECT_EQ(tee.kind, core::kSurfaceTee);
        EXPECT_EQ(pin.kind, core::kSurfaceGreen);
        EXPECT_TRUE(aim.kind == core::kSurfaceFairway || aim.kind == core::kSurfaceGreen) << int(aim.kind);

        const physics::ShotWorld world{model.get(), &grid, &objects, nullptr};
        const physics::ShotFacts facts{0, settings.par, 1, pin.point, 0.0f};
        physics::ShotInput drive;
        drive.ballPos = drive.startPos = tee.point;
        drive.aimTarget = aim.point;
        drive.pinDistance = core::DistanceXZ(tee.point, pin.point);
        drive.club = settings.par == 3 ? physics::kClubIron7 : physics::kClubDriver;
        drive.launchSpeed = physics::ClubRow(drive.club).speed;
        drive.elevation = physics::ClubRow(drive.club).loft;
        physics::ShotTrajectory path;
        physics::SimulateShot(world, facts, drive, path);
        EXPECT_LT(drive.surface, core::kSurfaceKindCount);
        EXPECT_GT(core::DistanceXZ(drive.ballPos, tee.point), 80.0f);
        for (int i = 0; i <= path.trajectoryCount; ++i) {  // never through the ground
            Vec3 below = path.points[i].pos;
            if (SeatOnTerrain(grid, below)) {
                EXPECT_GE(path.points[i].pos.y, below.y - 0.05f) << "point " << i;
            }
        }

        physics::ShotInput putt;
        putt.ballPos = putt.startPos = {pin.point.x, 0.0f, pin.point.z - 3.0f};
        ASSERT_TRUE(SeatOnTerrain(grid, putt.ballPos));
        putt.aimTarget = pin.point;
        putt.pinDistance = 3.0f;
        putt.club = physics::kClubPutter;
        putt.launchSpeed = 3.0f;
        physics::SimulateShot(world, facts, putt, path);
        EXPECT_LT(putt.surface, core::kSurfaceKindCount);
    }
}

}  // namespace
}  // namespace course
